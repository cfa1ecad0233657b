#include "document/CardDocument.h"

#include "document/CardSteps.h"
#include "layer/LayerFields.h"

#include <algorithm>
#include <limits>

// Several layers at once: each operation is one step of the history.

void CardDocument::changeLayers(const LayerValues& changes, const QString& caption)
{
    LayerValues needed;
    for (const auto& [id, values] : changes)
        if (mTable.RowOf(id) >= 0 && valuesOf(id, values) != values)
            needed.emplace_back(id, values);
    if (needed.empty())
        return;
    mHistory.push(new GroupChangeStep(*this, std::move(needed), caption));
}

void CardDocument::typeLayers(const std::vector<LayerId>& ids, std::string_view field, const FieldValue& value,
                              const QString& caption)
{
    LayerValues typed;
    for (LayerId id : ids)
        if (mTable.RowOf(id) >= 0)
            typed.push_back({id, {{field, value}}});
    if (typed.empty())
        return;
    mHistory.push(new GroupChangeStep(*this, std::move(typed), caption, GroupChangeStep::Merge::Typing));
}

void CardDocument::nudgeLayers(const std::vector<std::pair<LayerId, QPoint>>& moves, const QString& caption)
{
    LayerValues moved;
    for (const auto& [id, to] : moves)
        if (mTable.RowOf(id) >= 0)
            moved.push_back({id, {{Field::left, std::int32_t(to.x())}, {Field::top, std::int32_t(to.y())}}});
    if (moved.empty())
        return;
    mHistory.push(new GroupChangeStep(*this, std::move(moved), caption, GroupChangeStep::Merge::Nudging));
}

void CardDocument::removeLayers(const std::vector<LayerId>& ids, const QString& caption)
{
    std::vector<LayerId> present;
    for (LayerId id : ids)
        if (mTable.RowOf(id) >= 0 && std::find(present.begin(), present.end(), id) == present.end())
            present.push_back(id);
    if (present.size() <= 1) {
        for (LayerId id : present)
            removeLayer(id, caption);
        return;
    }
    mHistory.beginMacro(caption);
    for (LayerId id : present)
        mHistory.push(new RemoveStep(*this, id, caption));
    mHistory.endMacro();
}

bool CardDocument::restackLayers(const std::vector<LayerId>& ids, int step, const QString& caption)
{
    const std::vector<LayerId> moving = plannedRestacks(ids, step);
    if (moving.empty())
        return false;
    if (moving.size() == 1)
        return restack(moving.front(), step, caption);
    const LayerId kept = current();
    mHistory.beginMacro(caption);
    for (LayerId id : moving)
        restack(id, step, caption);
    mHistory.endMacro();
    setCurrent(kept);
    return true;
}

// The layers that restackLayers moves, in the order it moves them: the
// foremost in the step's direction first, so that each finds its neighbour
// already gone where that neighbour moves too. Played through on the
// numbers alone, as restack() would take each, so that a step with nothing
// to move never reaches the history.
std::vector<CardDocument::LayerId> CardDocument::plannedRestacks(const std::vector<LayerId>& ids, int step) const
{
    const int numbers = mTable.FieldIndex(Field::sorszam);
    struct Placed
    {
        LayerId id;
        std::int64_t number;
    };
    std::vector<Placed> stack;
    for (int row = 0; row < mTable.StoredCount(); ++row) {
        const auto* number = std::get_if<std::int32_t>(&mTable.StoredValue(row, numbers));
        stack.push_back({mTable.StoredId(row), number ? *number : 0});
    }
    auto chosen = [&](LayerId id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); };
    std::vector<LayerId> order;
    for (int row = 0; row < int(stack.size()); ++row)
        if (chosen(stack[row].id))
            order.push_back(stack[row].id);
    if (step > 0)
        std::reverse(order.begin(), order.end());
    std::vector<LayerId> moving;
    for (LayerId id : order) {
        const auto at = std::find_if(stack.begin(), stack.end(), [&](const Placed& p) { return p.id == id; });
        const int row = int(at - stack.begin());
        if (step > 0 ? row == int(stack.size()) - 1 : row == 0)
            continue;
        const std::int64_t to = at->number + step;
        if (to >= ParkedNumber || to < std::numeric_limits<std::int32_t>::min())
            continue;
        const auto neighbour = std::find_if(stack.begin(), stack.end(),
                                            [&](const Placed& p) { return p.number == to && p.id != id; });
        if (neighbour != stack.end() && chosen(neighbour->id))
            continue;
        if (neighbour != stack.end())
            neighbour->number = at->number;
        at->number = to;
        std::stable_sort(stack.begin(), stack.end(), [](const Placed& a, const Placed& b) { return a.number < b.number; });
        moving.push_back(id);
    }
    return moving;
}
