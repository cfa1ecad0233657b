#pragma once

#include <QTableView>

#include <functional>

class LayerListModel;
class LayerTable;

// The layer list `DBGrid1`: read-only, whole rows, the current layer's row
// highlighted also without the focus and marked in the indicator column,
// Tab and Shift+Tab moving within the grid. Picking a row asks the row
// chooser to make that row's layer current; the grid then follows the
// table's cursor, as it does however the cursor moved.
class LayerGrid : public QTableView
{
    Q_OBJECT

public:
    LayerGrid(const LayerTable& table, QWidget* parent = nullptr);

    // Makes the layer of a stored row (from 0) current.
    void setRowChooser(std::function<void(int row)> chooser) { mChooseRow = std::move(chooser); }
    // Adds a stored row's layer to the selection or takes it out: a click
    // with Shift or Ctrl.
    void setRowToggler(std::function<void(int row)> toggler) { mToggleRow = std::move(toggler); }
    // Which rows beside the current one show as selected; asked again by
    // showMarks and whenever the grid follows the table.
    void setMarks(std::function<bool(int row)> marked) { mMarked = std::move(marked); }
    void showMarks();

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

    const LayerTable& mTable;
    LayerListModel* mModel;
    bool mFollowing = false;
    std::function<void(int row)> mChooseRow;
    std::function<void(int row)> mToggleRow;
    std::function<bool(int row)> mMarked;
};
