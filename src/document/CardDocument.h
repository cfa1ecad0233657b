#pragma once

#include "storage/LayerTable.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <QUndoStack>

#include <functional>

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

    explicit CardDocument(QObject* parent = nullptr);
    ~CardDocument() override;

    LayerTable& table() { return mTable; }
    const LayerTable& table() const { return mTable; }
    QUndoStack& history() { return mHistory; }

    // The card's file; empty for a card never saved or opened.
    const QString& fileName() const { return mFileName; }
    void setFileName(const QString& path) { mFileName = path; }

    // Changes not in the file: steps since the last save, or a change that
    // left no step (a cancelled dialog, a click that moved nothing).
    bool isModified() const;
    // Counts as changed though nothing changed (true), or as saved as it is
    // now (false).
    void setModified(bool modified);
    // A card read back from a recovery copy is work that no file holds: it
    // stays modified until it is saved, however far its history is undone.
    void markRecovered();

    // Reads a card file into the table; the history starts empty. A file
    // that is not a card file is refused before anything is read.
    void load(const QString& path);
    // Writes the card to its file, then takes that file as its own: the
    // card is saved as it is now.
    void save(const QString& path);
    // Writes the card as it is to a file that is not its own (the print
    // job's copy); nothing of the card changes.
    void writeCopy(const QString& path);

    // The stacking number of the last layer in table order, 0 on an empty
    // card; and whether one more layer can still be numbered after it.
    int lastNumber() const;
    bool canAppend() const;

    // Appends a layer with the number after the last one's and the fields
    // made for that number; it becomes the current layer. Refused, with
    // nothing changed, where the numbers cannot grow.
    LayerId appendLayer(const std::function<Values(int number)>& make, const QString& caption);
    void removeLayer(LayerId id, const QString& caption);
    // One step up (+1) or down (-1) the stack; false where there is no step
    // to take (the top or bottom layer, a number that would reach the
    // parking value), and then nothing changes.
    bool restack(LayerId id, int step, const QString& caption);
    void change(LayerId id, const Values& values, const QString& caption);
    // Typing into one field of a layer: keystrokes on the same layer and
    // field merge into one step, until another step comes between them or
    // the typing pauses for two seconds.
    void type(LayerId id, std::string_view field, FieldValue value, const QString& caption);
    // A layer moved to a place by the arrow keys: a burst of moves on one
    // layer is one step, as typing is.
    void nudge(LayerId id, QPoint to, const QString& caption);

    // The steps' own work, for the history.
    void applyValues(LayerId id, const Values& values);
    void putBack(int row, std::vector<FieldValue> values, LayerId id);
    std::vector<FieldValue> takeOut(LayerId id);
    void renumber(LayerId moved, LayerId neighbour, std::int32_t movedTo, std::int32_t neighbourTo);
    void reorder(const std::vector<LayerId>& order, bool sorted, LayerId current);
    Values valuesOf(LayerId id, const Values& fields) const;

signals:
    // Draw this layer from its record again; it is the current layer.
    void layerChanged(CardDocument::LayerId id);
    // A layer came (its record is current) or went.
    void layerAdded(CardDocument::LayerId id);
    // A layer came back (undo of a delete, redo of a creation).
    void layerRestored(CardDocument::LayerId id);
    void layerRemoved(CardDocument::LayerId id);
    // Draw every layer again: the card was read, or the stack reordered.
    void layersReset();
    void modifiedChanged(bool modified);

private:
    void locate(LayerId id);
    void noteModified();

    LayerTable mTable;
    QUndoStack mHistory;
    QString mFileName;
    bool mMarked = false;     // changed without a step
    bool mWasModified = false;
};
