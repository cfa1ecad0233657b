#include "document/CardDocument.h"

#include "document/CardSteps.h"
#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"
#include "storage/CardFile.h"
#include "storage/TableError.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <limits>

namespace {

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
    , mClock([] {
        static const QElapsedTimer started = [] {
            QElapsedTimer timer;
            timer.start();
            return timer;
        }();
        return started.elapsed();
    })
{
    mTable.OnCalcFields = TblCalcFields;
    mTable.OpenTable();
    connect(&mHistory, &QUndoStack::indexChanged, this, &CardDocument::noteModified);
    connect(&mHistory, &QUndoStack::cleanChanged, this, &CardDocument::noteModified);
}

CardDocument::~CardDocument()
{
    // The steps refer to the table; they go first.
    mHistory.clear();
}

bool CardDocument::isModified() const
{
    return !mHistory.isClean();
}

// No clean state in the history: undoing every step since the recovery
// still leaves work that only the recovery copy holds.
void CardDocument::markRecovered()
{
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

void CardDocument::noteCurrent()
{
    emit currentChanged(current());
}

// A card that fails to read leaves the window an empty, unmodified card,
// bound to no file: a later save must not overwrite the file with what
// little was read.
void CardDocument::load(const QString& path)
{
    mHistory.clear();
    mHistory.setClean();
    mStruckOut.clear();
    try {
        RequireCardFile(nativePath(path));
        mFileName = path;
        mTable.LoadFile(nativePath(path));
    } catch (...) {
        mFileName.clear();
        if (!mTable.IsOpen())
            mTable.OpenTable();
        noteModified();
        emit layersReset();
        noteCurrent();
        throw;
    }
    mTable.MoveFirst();
    noteModified();
    emit layersReset();
    noteCurrent();
}

void CardDocument::save(const QString& path)
{
    mTable.SaveFile(nativePath(path));
    mFileName = path;
    mHistory.setClean();
    noteModified();
}

CardDocument::Snapshot CardDocument::snapshot(const std::vector<LayerId>& layers) const
{
    Snapshot taken{mTable.Name(), mTable.Fields(), {}};
    taken.records.reserve(layers.empty() ? mTable.StoredCount() : layers.size());
    for (int row = 0; row < mTable.StoredCount(); ++row) {
        if (layers.empty() || std::find(layers.begin(), layers.end(), mTable.StoredId(row)) != layers.end())
            taken.records.push_back(mTable.StoredRecord(row));
    }
    return taken;
}

void CardDocument::writeSnapshot(Snapshot snapshot, const QString& path)
{
    LayerTable copy(snapshot.name);
    for (FieldDef& field : snapshot.fields)
        copy.AddField(std::move(field));
    copy.OpenTable();
    LayerTable::RecordId id = 0;
    for (auto& record : snapshot.records)
        copy.InsertStored(copy.StoredCount(), std::move(record), ++id);
    copy.SaveFile(nativePath(path));
}

// The bytes go through a file of their own, as the card reader reads
// files; only the layer fields this version knows are taken, and neither
// the stacking number nor the element name, which the new layers get.
std::vector<CardDocument::Values> CardDocument::layersIn(const QByteArray& card)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("vagolap.bcrd"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(card) != card.size())
        throw TableError("Cannot create file \"" + path.toStdString() + "\". " + file.errorString().toStdString());
    file.close();
    LayerTable read = makeLayerTable();
    read.OpenTable();
    read.LoadFile(nativePath(path));
    std::vector<Values> layers;
    for (int row = 0; row < read.StoredCount(); ++row) {
        Values values;
        for (const FieldDef& field : read.Fields()) {
            if (!field.isStored() || field.FieldName == Field::sorszam || field.FieldName == Field::compnev)
                continue;
            for (std::string_view known : Field::All) {
                if (known == field.FieldName) {
                    values.emplace_back(known, read.StoredValue(row, read.FieldIndex(known)));
                    break;
                }
            }
        }
        layers.push_back(std::move(values));
    }
    return layers;
}

CardDocument::LayerId CardDocument::current() const
{
    return mTable.CurrentRow() < 0 ? 0 : mTable.CurrentId();
}

void CardDocument::setCurrent(LayerId id)
{
    if (mTable.RowOf(id) < 0 || id == current())
        return;
    locate(id);
    noteCurrent();
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

void CardDocument::requireAppend() const
{
    if (!canAppend())
        throw TableError(NumbersExhausted);
}

// The number comes from the last layer as the table stands when the step is
// first taken; the record takes it with the other fields.
CardDocument::LayerId CardDocument::appendLayer(const std::function<Values(int number)>& make,
                                               const QString& caption)
{
    requireAppend();
    const int last = lastNumber();
    Values fields = make(last + 1);
    fields.emplace_back(Field::sorszam, std::int32_t(last + 1));
    auto* step = new AppendStep(*this, std::move(fields), caption);
    mHistory.push(step);
    return step->layer();
}

std::vector<CardDocument::LayerId> CardDocument::appendLayers(const std::vector<MakeLayer>& layers,
                                                             const QString& caption)
{
    if (layers.empty())
        return {};
    if (lastNumber() + static_cast<std::int64_t>(layers.size()) > ParkedNumber - 1)
        throw TableError(NumbersExhausted);
    std::vector<LayerId> added;
    mHistory.beginMacro(caption);
    try {
        for (const MakeLayer& make : layers)
            added.push_back(appendLayer(make, caption));
    } catch (...) {
        mHistory.endMacro();
        mHistory.undo();
        throw;
    }
    mHistory.endMacro();
    return added;
}

void CardDocument::removeLayer(LayerId id, const QString& caption)
{
    if (mTable.RowOf(id) < 0)
        return;
    mHistory.push(new RemoveStep(*this, id, caption));
}

bool CardDocument::restack(LayerId id, int step, const QString& caption)
{
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
    if (mTable.RowOf(id) < 0 || valuesOf(id, values) == values)
        return;
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

// Every record first, then the current layer is found again and the
// listeners hear of it once, however many layers changed.
void CardDocument::applyGroup(const LayerValues& values, LayerId current)
{
    {
        // The layer list is told once at the end, not at every layer.
        mTable.DisableControls();
        struct Enable
        {
            LayerTable& table;
            ~Enable() { table.EnableControls(); }
        } enable{mTable};
        for (const auto& [id, fields] : values) {
            writeValues(id, fields);
            // A hundred photos moved together must not be decoded again.
            const bool placeOnly = std::all_of(fields.begin(), fields.end(), [](const auto& value) {
                return value.first == Field::left || value.first == Field::top;
            });
            if (placeOnly)
                emit layerMoved(id);
            else
                emit layerChanged(id);
        }
        if (mTable.RowOf(current) >= 0)
            locate(current);
    }
    noteCurrent();
}

void CardDocument::locate(LayerId id)
{
    if (mTable.CurrentId() != id || mTable.CurrentRow() < 0)
        mTable.LocateId(id);
}

CardDocument::LayerId CardDocument::appendRecord(const Values& values)
{
    mTable.AddNewRecord();
    try {
        for (const auto& [field, value] : values)
            mTable.WriteField(field, value);
        mTable.PostRecord();
    } catch (...) {
        mTable.CancelRecord();
        throw;
    }
    const LayerId id = mTable.CurrentId();
    emit layerAdded(id);
    noteCurrent();
    return id;
}

void CardDocument::applyValues(LayerId id, const Values& values)
{
    writeValues(id, values);
    emit layerChanged(id);
    noteCurrent();
}

void CardDocument::writeValues(LayerId id, const Values& values)
{
    locate(id);
    mTable.EditRecord();
    try {
        for (const auto& [field, value] : values) {
            if (field == StrikeOut) {
                const auto* on = std::get_if<bool>(&value);
                if (on && *on)
                    mStruckOut.insert(id);
                else
                    mStruckOut.erase(id);
            } else {
                mTable.WriteField(field, value);
            }
        }
    } catch (...) {
        mTable.CancelRecord();
        throw;
    }
    mTable.PostRecord();
}

CardDocument::Values CardDocument::valuesOf(LayerId id, const Values& fields) const
{
    Values values;
    const int row = mTable.RowOf(id);
    for (const auto& [field, unused] : fields) {
        if (field == StrikeOut) {
            values.emplace_back(field, mStruckOut.contains(id));
            continue;
        }
        const int index = mTable.FieldIndex(field);
        values.emplace_back(field, row >= 0 && index >= 0 ? mTable.StoredValue(row, index) : FieldValue{});
    }
    return values;
}

// Through the cursor, as the delete command removes a layer: the layer
// after it becomes current. A strike-out stays known for the layer's
// return.
std::vector<FieldValue> CardDocument::takeOut(LayerId id)
{
    locate(id);
    std::vector<FieldValue> record = mTable.StoredRecord(mTable.RowOf(id));
    mTable.RemoveRecord();
    emit layerRemoved(id);
    noteCurrent();
    return record;
}

void CardDocument::putBack(int row, std::vector<FieldValue> values, LayerId id)
{
    mTable.InsertStored(row, std::move(values), id);
    mTable.LocateId(id);
    emit layerRestored(id);
    noteCurrent();
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

void CardDocument::sortByNumber(LayerId current)
{
    mTable.SortRecords(std::string(Field::sorszam));
    reorder(mTable.Order(), true, current);
}

void CardDocument::reorder(const std::vector<LayerId>& order, bool sorted, LayerId current)
{
    mTable.Reorder(order, sorted);
    mTable.LocateId(current);
    emit layersReset();
    noteCurrent();
}
