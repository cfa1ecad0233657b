#include "document/CardSteps.h"

#include "layer/LayerFields.h"

AppendStep::AppendStep(CardDocument& document, CardDocument::Values values, const QString& caption)
    : QUndoCommand(caption)
    , mDocument(document)
    , mFields(std::move(values))
{
}

void AppendStep::redo()
{
    if (mLayer != 0) {
        mDocument.putBack(mRow, std::move(mRecord), mLayer);
        return;
    }
    mLayer = mDocument.appendRecord(mFields);
    mFields.clear();
}

void AppendStep::undo()
{
    mRow = mDocument.table().RowOf(mLayer);
    mRecord = mDocument.takeOut(mLayer);
}

RemoveStep::RemoveStep(CardDocument& document, CardDocument::LayerId layer, const QString& caption)
    : QUndoCommand(caption)
    , mDocument(document)
    , mLayer(layer)
{
}

void RemoveStep::redo()
{
    mRow = mDocument.table().RowOf(mLayer);
    mRecord = mDocument.takeOut(mLayer);
}

void RemoveStep::undo()
{
    mDocument.putBack(mRow, std::move(mRecord), mLayer);
}

ChangeStep::ChangeStep(CardDocument& document, CardDocument::LayerId layer, CardDocument::Values after,
                       const QString& caption)
    : QUndoCommand(caption)
    , mDocument(document)
    , mLayer(layer)
    , mBefore(document.valuesOf(layer, after))
    , mAfter(std::move(after))
{
}

void ChangeStep::redo()
{
    mDocument.applyValues(mLayer, mAfter);
}

void ChangeStep::undo()
{
    mDocument.applyValues(mLayer, mBefore);
}

TypeStep::TypeStep(CardDocument& document, CardDocument::LayerId layer, std::string_view field,
                   FieldValue value, const QString& caption)
    : ChangeStep(document, layer, {{field, std::move(value)}}, caption)
    , mLastKey(document.now())
{
}

bool TypeStep::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const TypeStep*>(other);
    if (next->mLayer != mLayer || next->mAfter.front().first != mAfter.front().first
        || next->mLastKey - mLastKey > PauseMs)
        return false;
    mAfter = next->mAfter;
    mLastKey = next->mLastKey;
    return true;
}

NudgeStep::NudgeStep(CardDocument& document, CardDocument::LayerId layer, QPoint to, const QString& caption)
    : ChangeStep(document, layer, {{Field::left, std::int32_t(to.x())}, {Field::top, std::int32_t(to.y())}}, caption)
    , mLastKey(document.now())
{
}

bool NudgeStep::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const NudgeStep*>(other);
    if (next->mLayer != mLayer || next->mLastKey - mLastKey > TypeStep::PauseMs)
        return false;
    mAfter = next->mAfter;
    mLastKey = next->mLastKey;
    return true;
}

RestackStep::RestackStep(CardDocument& document, CardDocument::LayerId moved, CardDocument::LayerId neighbour,
                         std::int32_t from, std::int32_t to, const QString& caption)
    : QUndoCommand(caption)
    , mDocument(document)
    , mMoved(moved)
    , mNeighbour(neighbour)
    , mFrom(from)
    , mTo(to)
    , mOrderBefore(document.order())
    , mSortedBefore(document.sorted())
{
}

void RestackStep::redo()
{
    mDocument.renumber(mMoved, mNeighbour, mTo, mFrom);
    mDocument.sortByNumber(mMoved);
}

void RestackStep::undo()
{
    mDocument.renumber(mMoved, mNeighbour, mFrom, mTo);
    mDocument.reorder(mOrderBefore, mSortedBefore, mMoved);
}

GroupChangeStep::GroupChangeStep(CardDocument& document, CardDocument::LayerValues after, const QString& caption,
                                 Merge merge)
    : QUndoCommand(caption)
    , mDocument(document)
    , mAfter(std::move(after))
    , mCurrent(document.current())
    , mMerge(merge)
    , mLastKey(document.now())
{
    mBefore.reserve(mAfter.size());
    for (const auto& [layer, values] : mAfter)
        mBefore.emplace_back(layer, document.valuesOf(layer, values));
}

void GroupChangeStep::redo()
{
    mDocument.applyGroup(mAfter, mCurrent);
}

void GroupChangeStep::undo()
{
    mDocument.applyGroup(mBefore, mCurrent);
}

int GroupChangeStep::id() const
{
    switch (mMerge) {
    case Merge::Typing: return TypingId;
    case Merge::Nudging: return NudgingId;
    case Merge::Never: break;
    }
    return -1;
}

// The same layers, the same fields, and no pause between them.
bool GroupChangeStep::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const GroupChangeStep*>(other);
    if (next->mAfter.size() != mAfter.size() || next->mLastKey - mLastKey > TypeStep::PauseMs)
        return false;
    for (std::size_t i = 0; i < mAfter.size(); ++i) {
        if (next->mAfter[i].first != mAfter[i].first || next->mAfter[i].second.size() != mAfter[i].second.size())
            return false;
        for (std::size_t f = 0; f < mAfter[i].second.size(); ++f)
            if (next->mAfter[i].second[f].first != mAfter[i].second[f].first)
                return false;
    }
    mAfter = next->mAfter;
    mLastKey = next->mLastKey;
    return true;
}
