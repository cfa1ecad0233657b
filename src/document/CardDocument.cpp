#include "document/CardDocument.h"

#include "document/CardSteps.h"
#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"
#include "storage/CardFile.h"
#include "storage/TableError.h"

#include <QFile>

namespace {

// Parks a layer while two exchange their numbers; no layer may keep it.
constexpr std::int32_t ParkedNumber = 9999;

const std::string NumbersExhausted =
    "A kártya legfelső rétegének sorszáma már 9998 vagy nagyobb, ezért új réteg nem adható hozzá.";

std::string nativePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

CardDocument::CardDocument(QObject* parent)
    : QObject(parent)
    , mTable(makeLayerTable("Tbl"))
{
    // Back at the saved state by undo or redo, the card is saved, whatever
    // had marked it changed.
    connect(&mHistory, &QUndoStack::indexChanged, this, [this] {
        if (mHistory.isClean())
            mMarked = false;
        noteModified();
    });
    connect(&mHistory, &QUndoStack::cleanChanged, this, &CardDocument::noteModified);
}

CardDocument::~CardDocument()
{
    // The steps refer to the table; they go first.
    mHistory.clear();
}

bool CardDocument::isModified() const
{
    return mMarked || !mHistory.isClean();
}

void CardDocument::setModified(bool modified)
{
    if (modified) {
        mMarked = true;
    } else {
        mMarked = false;
        mHistory.setClean();
    }
    noteModified();
}

// No clean state in the history: undoing every step since the recovery
// still leaves work that only the recovery copy holds.
void CardDocument::markRecovered()
{
    mMarked = true;
    mHistory.resetClean();
    noteModified();
}

void CardDocument::noteModified()
{
    const bool modified = isModified();
    if (modified == mWasModified)
        return;
    mWasModified = modified;
    emit modifiedChanged(modified);
}

void CardDocument::load(const QString& path)
{
    mFileName = path;
    mHistory.clear();
    setModified(false);
    RequireCardFile(nativePath(path));
    mTable.LoadFile(nativePath(path));
    emit layersReset();
}

// Post first: the writer skips a pending edit, and the user expects what is
// on screen to be what is saved.
void CardDocument::save(const QString& path)
{
    if (mTable.IsEditing())
        mTable.PostRecord();
    mTable.SaveFile(nativePath(path));
    mFileName = path;
    setModified(false);
}

void CardDocument::writeCopy(const QString& path)
{
    mTable.SaveFile(nativePath(path));
}

int CardDocument::lastNumber() const
{
    const int field = mTable.FieldIndex(Field::sorszam);
    if (field < 0 || mTable.StoredCount() == 0)
        return 0;
    const auto* number = std::get_if<std::int32_t>(&mTable.StoredValue(mTable.StoredCount() - 1, field));
    return number ? *number : 0;
}

bool CardDocument::canAppend() const
{
    return lastNumber() < ParkedNumber - 1;
}

// The number comes from the last layer as the table stands when the step is
// first taken; the record takes it with the other fields.
CardDocument::LayerId CardDocument::appendLayer(const std::function<Values(int number)>& make,
                                               const QString& caption)
{
    if (!canAppend())
        throw TableError(NumbersExhausted);
    if (mTable.IsEditing())
        mTable.PostRecord();
    int last = 0;
    if (mTable.StoredCount() > 0) {
        mTable.MoveLast();
        last = ReadInt(mTable, Field::sorszam, 0);
    }
    Values fields = make(last + 1);
    fields.emplace_back(Field::sorszam, std::int32_t(last + 1));
    auto* step = new AppendStep(*this, std::move(fields), caption);
    mHistory.push(step);
    return step->layer();
}

void CardDocument::removeLayer(LayerId id, const QString& caption)
{
    if (mTable.RowOf(id) < 0)
        return;
    mHistory.push(new RemoveStep(*this, id, caption));
}

bool CardDocument::restack(LayerId id, int step, const QString& caption)
{
    if (mTable.IsEditing())
        mTable.PostRecord();
    const int row = mTable.RowOf(id);
    if (row < 0 || (step > 0 ? row == mTable.StoredCount() - 1 : row == 0))
        return false;
    const int numbers = mTable.FieldIndex(Field::sorszam);
    const auto* own = std::get_if<std::int32_t>(&mTable.StoredValue(row, numbers));
    const std::int32_t from = own ? *own : 0;
    const std::int64_t to = std::int64_t(from) + step;
    if (to >= ParkedNumber || to < std::numeric_limits<std::int32_t>::min())
        return false;
    LayerId neighbour = 0;
    for (int other = 0; other < mTable.StoredCount() && neighbour == 0; ++other) {
        const auto* number = std::get_if<std::int32_t>(&mTable.StoredValue(other, numbers));
        if (number && *number == to && mTable.StoredId(other) != id)
            neighbour = mTable.StoredId(other);
    }
    mHistory.push(new RestackStep(*this, id, neighbour, from, static_cast<std::int32_t>(to), caption));
    return true;
}

void CardDocument::change(LayerId id, const Values& values, const QString& caption)
{
    if (mTable.RowOf(id) < 0)
        return;
    if (valuesOf(id, values) == values) {
        // Nothing to undo, yet the user asked for a change.
        setModified(true);
        return;
    }
    mHistory.push(new ChangeStep(*this, id, values, caption));
}

void CardDocument::type(LayerId id, std::string_view field, FieldValue value, const QString& caption)
{
    if (mTable.RowOf(id) < 0)
        return;
    mHistory.push(new TypeStep(*this, id, field, std::move(value), caption));
}

void CardDocument::nudge(LayerId id, QPoint to, const QString& caption)
{
    if (mTable.RowOf(id) < 0)
        return;
    mHistory.push(new NudgeStep(*this, id, to, caption));
}

void CardDocument::locate(LayerId id)
{
    if (mTable.IsEditing())
        mTable.PostRecord();
    if (mTable.CurrentId() != id)
        mTable.LocateId(id);
}

void CardDocument::applyValues(LayerId id, const Values& values)
{
    locate(id);
    mTable.EditRecord();
    try {
        for (const auto& [field, value] : values)
            mTable.WriteField(field, value);
    } catch (...) {
        mTable.CancelRecord();
        throw;
    }
    mTable.PostRecord();
    emit layerChanged(id);
}

CardDocument::Values CardDocument::valuesOf(LayerId id, const Values& fields) const
{
    Values values;
    const int row = mTable.RowOf(id);
    for (const auto& [field, unused] : fields) {
        const int index = mTable.FieldIndex(field);
        values.emplace_back(field, row >= 0 && index >= 0 ? mTable.StoredValue(row, index) : FieldValue{});
    }
    return values;
}

// Through the cursor, as the delete command removes a layer: the layer
// after it becomes current.
std::vector<FieldValue> CardDocument::takeOut(LayerId id)
{
    locate(id);
    std::vector<FieldValue> record = mTable.StoredRecord(mTable.RowOf(id));
    mTable.RemoveRecord();
    emit layerRemoved(id);
    return record;
}

void CardDocument::putBack(int row, std::vector<FieldValue> values, LayerId id)
{
    if (mTable.IsEditing())
        mTable.PostRecord();
    mTable.InsertStored(row, std::move(values), id);
    mTable.LocateId(id);
    emit layerRestored(id);
}

// The moved layer is parked while its neighbour takes its number, so that
// no two layers ever share one.
void CardDocument::renumber(LayerId moved, LayerId neighbour, std::int32_t movedTo, std::int32_t neighbourTo)
{
    auto number = [this](LayerId id, std::int32_t to) {
        locate(id);
        mTable.EditRecord();
        mTable.WriteField(Field::sorszam, to);
        mTable.PostRecord();
    };
    if (neighbour != 0) {
        number(moved, ParkedNumber);
        number(neighbour, neighbourTo);
    }
    number(moved, movedTo);
}

void CardDocument::reorder(const std::vector<LayerId>& order, bool sorted, LayerId current)
{
    mTable.Reorder(order, sorted);
    mTable.LocateId(current);
    emit layersReset();
}
