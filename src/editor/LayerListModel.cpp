#include "editor/LayerListModel.h"

#include "layer/LayerFields.h"
#include "layer/Win1250Text.h"

#include <array>

namespace {

// The field shown in each column.
constexpr std::array<std::string_view, LayerListModel::ColumnCount> ColumnFields = {Field::sorszam, Field::tipus,
                                                                            Field::nev};

QVariant displayText(const FieldValue& value)
{
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return QString::number(*number);
    if (const auto* text = std::get_if<std::string>(&value))
        return fromWin1250(*text);
    return {};
}

} // namespace

LayerListModel::LayerListModel(const LayerTable& table, QObject* parent)
    : QAbstractTableModel(parent)
    , mTable(table)
{
    mTable.AttachControl(this);
}

LayerListModel::~LayerListModel()
{
    mTable.DetachControl(this);
}

int LayerListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : mTable.StoredCount();
}

int LayerListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

// Fields are looked up by name on every read: a card from elsewhere may
// lack some, and loading one changes the field list under the model.
QVariant LayerListModel::data(const QModelIndex& index, int role) const
{
    const int row = index.row();
    if (!index.isValid() || row >= mTable.StoredCount() || index.column() >= ColumnCount)
        return {};
    const int field = mTable.FieldIndex(ColumnFields[index.column()]);
    const FieldValue& value = field < 0 ? FieldValue() : mTable.StoredValue(row, field);

    switch (role) {
    case KindRole:
        if (index.column() != KindColumn)
            return {};
        if (const auto* kind = std::get_if<std::int32_t>(&value))
            return *kind;
        return 0;
    case Qt::DisplayRole:
        // The kind shows as its icon only.
        return index.column() == KindColumn ? QVariant() : displayText(value);
    case Qt::TextAlignmentRole:
        if (index.column() == NumberColumn)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

// The titles are the fields' labels, or their names where they have none.
QVariant LayerListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    const int field = mTable.FieldIndex(ColumnFields[section]);
    if (field < 0)
        return QString::fromLatin1(ColumnFields[section].data(), qsizetype(ColumnFields[section].size()));
    return fromWin1250(mTable.Fields()[field].displayName());
}

// The list shows stored rows: an edit appears once it is posted, which
// the layer commands do at once.
void LayerListModel::tableChanged(const LayerTable& table, TableChange change)
{
    switch (change) {
    case TableChange::DataSet:
        beginResetModel();
        endResetModel();
        emit currentRowChanged(table.CurrentRow());
        break;
    case TableChange::Record:
        if (const int row = table.CurrentRow(); row >= 0 && row < table.StoredCount())
            emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
        break;
    case TableChange::Scroll:
    case TableChange::State:
        emit currentRowChanged(table.CurrentRow());
        break;
    }
}
