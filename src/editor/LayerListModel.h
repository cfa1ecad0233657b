#pragma once

#include "storage/LayerTable.h"

#include <QAbstractTableModel>

// The layer list's rows: one per stored layer in table order, with the
// columns "#" (stacking number), "tipus" (kind, drawn as an icon) and
// "leírás" (text or description). It follows the table as one of its
// controls and never writes to it.
class LayerListModel : public QAbstractTableModel, public TableControl
{
    Q_OBJECT

public:
    enum Column { NumberColumn, KindColumn, TextColumn, ColumnCount };
    // The kind code of a row, for drawing its icon.
    static constexpr int KindRole = Qt::UserRole + 1;

    explicit LayerListModel(const LayerTable& table, QObject* parent = nullptr);
    ~LayerListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void tableChanged(const LayerTable& table, TableChange change) override;

signals:
    // The table's cursor moved to this row (-1: none).
    void currentRowChanged(int row);

private:
    const LayerTable& mTable;
};
