#pragma once

#include "document/CardDocument.h"

#include <QUndoCommand>

// The steps of a card's history. Each keeps what it needs to undo and
// redo itself by the layer's record id, which stays with the layer through
// restacking, undo and redo; pictures are shared with the table, never
// copied.

// A new layer on top of the stack. The first time it is appended as a new
// record; after an undo it is put back at its row with its own id.
class AppendStep : public QUndoCommand
{
public:
    AppendStep(CardDocument& document, CardDocument::Values values, const QString& caption);
    void redo() override;
    void undo() override;
    CardDocument::LayerId layer() const { return mLayer; }

private:
    CardDocument& mDocument;
    CardDocument::Values mFields;
    CardDocument::LayerId mLayer = 0;
    int mRow = -1;
    std::vector<FieldValue> mRecord;
};

class RemoveStep : public QUndoCommand
{
public:
    RemoveStep(CardDocument& document, CardDocument::LayerId layer, const QString& caption);
    void redo() override;
    void undo() override;

private:
    CardDocument& mDocument;
    CardDocument::LayerId mLayer;
    int mRow = -1;
    std::vector<FieldValue> mRecord;
};

// Fields of one layer before and after; undo and redo write one or the
// other.
class ChangeStep : public QUndoCommand
{
public:
    ChangeStep(CardDocument& document, CardDocument::LayerId layer, CardDocument::Values after,
               const QString& caption);
    void redo() override;
    void undo() override;

protected:
    CardDocument& mDocument;
    CardDocument::LayerId mLayer;
    CardDocument::Values mBefore;
    CardDocument::Values mAfter;
};

// Keystrokes in one field of one layer, merged while they keep coming.
class TypeStep : public ChangeStep
{
public:
    static constexpr int Id = 1;
    static constexpr qint64 PauseMs = 2000;

    TypeStep(CardDocument& document, CardDocument::LayerId layer, std::string_view field, FieldValue value,
             const QString& caption);
    int id() const override { return Id; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    qint64 mLastKey;  // the document's clock at the last keystroke
};

// Arrow-key moves of one layer, merged while they keep coming.
class NudgeStep : public ChangeStep
{
public:
    static constexpr int Id = 2;

    NudgeStep(CardDocument& document, CardDocument::LayerId layer, QPoint to, const QString& caption);
    int id() const override { return Id; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    qint64 mLastKey;  // the document's clock at the last keystroke
};

// A layer and its neighbour exchange numbers, or the layer's number moves
// into a gap; the order the table had before comes back on undo.
class RestackStep : public QUndoCommand
{
public:
    RestackStep(CardDocument& document, CardDocument::LayerId moved, CardDocument::LayerId neighbour,
                std::int32_t from, std::int32_t to, const QString& caption);
    void redo() override;
    void undo() override;

private:
    CardDocument& mDocument;
    CardDocument::LayerId mMoved;
    CardDocument::LayerId mNeighbour;
    std::int32_t mFrom;
    std::int32_t mTo;
    std::vector<CardDocument::LayerId> mOrderBefore;
    bool mSortedBefore;
};

// Fields of several layers before and after, one step; the layer current
// when it was taken is current again after undo and redo. Typing into one
// field of the same layers, or arrow-key moves of them, merge while they
// keep coming, as they do for one layer.
class GroupChangeStep : public QUndoCommand
{
public:
    enum class Merge { Never, Typing, Nudging };
    static constexpr int TypingId = 3;
    static constexpr int NudgingId = 4;

    GroupChangeStep(CardDocument& document, CardDocument::LayerValues after, const QString& caption,
                    Merge merge = Merge::Never);
    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    CardDocument& mDocument;
    CardDocument::LayerValues mBefore;
    CardDocument::LayerValues mAfter;
    CardDocument::LayerId mCurrent;
    Merge mMerge;
    qint64 mLastKey;  // the document's clock at the last keystroke
};
