#pragma once

#include <QTableView>

class LayerListModel;
class LayerTable;

// The layer list `DBGrid1`: read-only, whole rows, the current layer's row
// highlighted also without the focus and marked in the indicator column,
// Tab and Shift+Tab moving within the grid. Picking a row moves the table's
// cursor there, which runs the card window's selection sync.
class LayerGrid : public QTableView
{
    Q_OBJECT

public:
    LayerGrid(LayerTable& table, QWidget* parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void followTable(int row);
    void stepCell(bool forward);
    void fitRowsToFont();

    LayerTable& mTable;
    LayerListModel* mModel;
    bool mFollowing = false;
};
