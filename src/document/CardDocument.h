#pragma once

#include "storage/LayerTable.h"

#include <QByteArray>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <set>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One card: its layer table, the file it belongs to, whether it has
// changes that are not in that file, and the history of those changes. It
// has no window: the card window shows it and turns the user's commands
// into its operations. Every change of a layer goes through here, record
// first; each is one step of the history, named by the command's caption,
// and the listeners are told which layer changed so that they draw it from
// its record again. An operation leaves the changed layer current, also
// when a step is undone or redone.
class CardDocument : public QObject
{
    Q_OBJECT

public:
    using LayerId = LayerTable::RecordId;
    // Field names (the layer field constants, which live for the whole
    // run) and the values they take.
    using Values = std::vector<std::pair<std::string_view, FieldValue>>;

    // A text layer's strike-out, which the font dialog chooses: no field of
    // the card file keeps it, so it lives with the document, for as long as
    // the card is open, and its changes are steps like any field's.
    static constexpr std::string_view StrikeOut = "*athuzott";

    // The card's records as they are now, pictures shared: what a writer on
    // another thread or a print job works on while the card goes on.
    struct Snapshot
    {
        std::string name;
        std::vector<FieldDef> fields;
        std::vector<std::vector<FieldValue>> records;
    };

    explicit CardDocument(QObject* parent = nullptr);
    ~CardDocument() override;

    // The card's layers, to read; only the document's operations change
    // them, and only the document moves its cursor, which is the current
    // layer.
    const LayerTable& table() const { return mTable; }
    QUndoStack& history() { return mHistory; }

    // The card's file; empty for a card never saved or opened.
    const QString& fileName() const { return mFileName; }
    void setFileName(const QString& path) { mFileName = path; }

    // Changes not in the file: the history is away from its saved state.
    bool isModified() const;
    // A card read back from a recovery copy is work that no file holds: it
    // stays modified until it is saved, however far its history is undone.
    void markRecovered();

    // Reads a card file into the table; the history starts empty and the
    // first layer is current. A file that is not a card file is refused
    // before anything is read.
    void load(const QString& path);
    // Writes the card to its file, then takes that file as its own: the
    // card is saved as it is now.
    void save(const QString& path);

    // The records of the given layers, in the card's order; every layer
    // when none is given.
    Snapshot snapshot(const std::vector<LayerId>& layers = {}) const;
    // A card file of a snapshot, written as the card writer writes one.
    static void writeSnapshot(Snapshot snapshot, const QString& path);
    // The layers of a card file's bytes (the clipboard's card), each as its
    // fields' values. Throws TableError for what is not a card.
    static std::vector<Values> layersIn(const QByteArray& card);

    // The current layer; 0 on an empty card.
    LayerId current() const;
    // Makes a layer current; the listeners hear of it.
    void setCurrent(LayerId id);
    bool isStruckOut(LayerId id) const { return mStruckOut.contains(id); }

    // The stacking number of the last layer in table order, 0 on an empty
    // card; and whether one more layer can still be numbered after it.
    int lastNumber() const;
    bool canAppend() const;
    // Throws the user's message where one more layer cannot be numbered:
    // for a command that asks for something (a picture file) before it
    // appends.
    void requireAppend() const;

    // Appends a layer with the number after the last one's and the fields
    // made for that number; it becomes the current layer. Refused, with
    // nothing changed, where the numbers cannot grow.
    LayerId appendLayer(const std::function<Values(int number)>& make, const QString& caption);
    // Several layers on top, in their order, as one step; the last becomes
    // current. Refused as a whole where the numbers cannot grow for all.
    using MakeLayer = std::function<Values(int number)>;
    std::vector<LayerId> appendLayers(const std::vector<MakeLayer>& layers, const QString& caption);
    void removeLayer(LayerId id, const QString& caption);
    // One step up (+1) or down (-1) the stack; false where there is no step
    // to take (the top or bottom layer, a number that would reach the
    // parking value), and then nothing changes.
    bool restack(LayerId id, int step, const QString& caption);
    // A change of fields, one step; none when the values are already there.
    void change(LayerId id, const Values& values, const QString& caption);
    // Typing into one field of a layer: keystrokes on the same layer and
    // field merge into one step, until another step comes between them or
    // the typing pauses for two seconds.
    void type(LayerId id, std::string_view field, FieldValue value, const QString& caption);
    // A layer moved to a place by the arrow keys: a burst of moves on one
    // layer is one step, as typing is.
    void nudge(LayerId id, QPoint to, const QString& caption);

    Values valuesOf(LayerId id, const Values& fields) const;

    // Several layers at once, each operation one step; the current layer
    // stays current, and each changed layer is drawn again.
    using LayerValues = std::vector<std::pair<LayerId, Values>>;
    // Fields of several layers; none where every value is already there.
    void changeLayers(const LayerValues& changes, const QString& caption);
    // Typing into one field of several layers, merged as type() merges.
    void typeLayers(const std::vector<LayerId>& ids, std::string_view field, const FieldValue& value,
                    const QString& caption);
    // Arrow-key moves of several layers, merged as nudge() merges.
    void nudgeLayers(const std::vector<std::pair<LayerId, QPoint>>& moves, const QString& caption);
    void removeLayers(const std::vector<LayerId>& ids, const QString& caption);
    // Each of the layers one step up (+1) or down (-1), as restack() takes
    // it, past its neighbour when that one is not among them: a block of
    // them moves past the layer beyond it, their order kept, and a block at
    // the top or bottom stays. False where none of them can move.
    bool restackLayers(const std::vector<LayerId>& ids, int step, const QString& caption);

    // Milliseconds on a steady clock, which tells the pause that ends a
    // burst of typing or nudging; a test may give its own.
    using Clock = std::function<qint64()>;
    void setClock(Clock clock) { mClock = std::move(clock); }
    qint64 now() const { return mClock(); }

signals:
    // Draw this layer from its record again.
    void layerChanged(CardDocument::LayerId id);
    // Only this layer's place on the card changed: it moves, its looks
    // stay as drawn.
    void layerMoved(CardDocument::LayerId id);
    // A layer came.
    void layerAdded(CardDocument::LayerId id);
    // A layer came back (undo of a delete, redo of a creation).
    void layerRestored(CardDocument::LayerId id);
    void layerRemoved(CardDocument::LayerId id);
    // Draw every layer again: the card was read, or the stack reordered.
    void layersReset();
    // The current layer is another one, or an operation left it current
    // again: whatever shows the current layer shows it afresh. 0: none.
    void currentChanged(CardDocument::LayerId id);
    void modifiedChanged(bool modified);

private:
    // Parks a layer while two exchange their numbers; no layer may keep it.
    static constexpr std::int32_t ParkedNumber = 9999;

    // The steps' own work.
    friend class AppendStep;
    friend class RemoveStep;
    friend class ChangeStep;
    friend class RestackStep;
    friend class GroupChangeStep;
    void applyGroup(const LayerValues& values, LayerId current);
    std::vector<LayerId> plannedRestacks(const std::vector<LayerId>& ids, int step) const;
    LayerId appendRecord(const Values& values);
    void applyValues(LayerId id, const Values& values);
    void writeValues(LayerId id, const Values& values);
    void putBack(int row, std::vector<FieldValue> values, LayerId id);
    std::vector<FieldValue> takeOut(LayerId id);
    void renumber(LayerId moved, LayerId neighbour, std::int32_t movedTo, std::int32_t neighbourTo);
    void sortByNumber(LayerId current);
    void reorder(const std::vector<LayerId>& order, bool sorted, LayerId current);
    std::vector<LayerId> order() const { return mTable.Order(); }
    bool sorted() const { return mTable.IsSorted(); }

    void locate(LayerId id);
    void noteCurrent();
    void noteModified();

    LayerTable mTable;
    QUndoStack mHistory;
    QString mFileName;
    std::set<LayerId> mStruckOut;
    Clock mClock;
    bool mWasModified = false;
};
