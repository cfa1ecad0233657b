#include "editor/LayerGrid.h"

#include "editor/ErrorBox.h"
#include "editor/ImageList.h"
#include "editor/LayerListModel.h"
#include "storage/LayerTable.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

constexpr int NumberWidth = 23;
constexpr int KindWidth = 96;
constexpr int TextWidth = 188;
constexpr int IndicatorWidth = 12;
constexpr int FirstKindIcon = 12;
constexpr int IconOffset = 16;
// Title row: Tahoma 8 points, in pixels as at 96 dpi.
constexpr int TitlePixels = 11;

// The vertical header serves as the indicator column: a small black
// triangle points at the current row.
class IndicatorHeader : public QHeaderView
{
public:
    explicit IndicatorHeader(QAbstractItemView* view)
        : QHeaderView(Qt::Vertical, view)
        , mView(view)
    {
        setSectionResizeMode(QHeaderView::Fixed);
        setSectionsClickable(true);
        setHighlightSections(false);
        setFixedWidth(IndicatorWidth);
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override
    {
        // The style leaves the painter clipped to the section's text.
        painter->save();
        QHeaderView::paintSection(painter, rect, logicalIndex);
        painter->restore();
        if (logicalIndex != mView->currentIndex().row())
            return;
        const QPoint middle = rect.center();
        const QPoint triangle[] = {middle + QPoint(-2, -4), middle + QPoint(2, 0), middle + QPoint(-2, 4)};
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(Qt::NoPen);
        painter->setBrush(Qt::black);
        painter->drawPolygon(triangle, 3);
        painter->restore();
    }

private:
    QAbstractItemView* mView;
};

// The kind column shows the kind's icon on the cell's own background;
// codes without a layer kind show none.
void DBGrid1DrawColumnCell(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    painter->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    const int kind = index.data(LayerListModel::KindRole).toInt();
    if (kind < 0 || kind > 2)
        return;
    painter->save();
    painter->setClipRect(option.rect);
    const QRect iconRect(option.rect.left() + IconOffset, option.rect.top(), ImageList::Size, ImageList::Size);
    ImageList::icon(FirstKindIcon + kind).paint(painter, iconRect);
    painter->restore();
}

class CellDrawing : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (index.column() == LayerListModel::KindColumn)
            DBGrid1DrawColumnCell(painter, option, index);
        else
            QStyledItemDelegate::paint(painter, option, index);
    }
};

} // namespace

LayerGrid::LayerGrid(const LayerTable& table, QWidget* parent)
    : QTableView(parent)
    , mTable(table)
    , mModel(new LayerListModel(table, this))
{
    setObjectName(QStringLiteral("DBGrid1"));
    setVerticalHeader(new IndicatorHeader(this));
    setModel(mModel);
    setItemDelegate(new CellDrawing(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);

    QHeaderView* titles = horizontalHeader();
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setSectionsClickable(false);
    titles->setHighlightSections(false);
    titles->setStretchLastSection(false);
    QFont titleFont(QStringLiteral("Tahoma"));
    titleFont.setPixelSize(TitlePixels);
    titles->setFont(titleFont);
    setColumnWidth(LayerListModel::NumberColumn, NumberWidth);
    setColumnWidth(LayerListModel::KindColumn, KindWidth);
    setColumnWidth(LayerListModel::TextColumn, TextWidth);
    fitRowsToFont();

    // The current layer stays marked while the user works in the panel.
    QPalette colours = palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);

    connect(mModel, &LayerListModel::currentRowChanged, this, &LayerGrid::followTable);
    followTable(mTable.CurrentRow());
}

// The grid keeps Tab and Shift+Tab for itself; keyPressEvent moves the cell.
bool LayerGrid::focusNextPrevChild(bool)
{
    return false;
}

void LayerGrid::keyPressEvent(QKeyEvent* event)
{
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const bool forward = event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier);
        stepCell(forward);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

// Cell by cell, on to the next row after the last column and back to the
// previous one before the first; the ends of the list stop it.
void LayerGrid::stepCell(bool forward)
{
    const int rows = mModel->rowCount();
    const int columns = mModel->columnCount();
    if (rows == 0)
        return;
    const QModelIndex current = currentIndex();
    int position = current.isValid() ? current.row() * columns + current.column() : (forward ? -1 : rows * columns);
    position = std::clamp(position + (forward ? 1 : -1), 0, rows * columns - 1);
    setCurrentIndex(mModel->index(position / columns, position % columns));
}

// Clicks below the last row keep the current row marked; with Shift or
// Ctrl a click adds its row's layer to the selection or takes it out.
void LayerGrid::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex at = indexAt(event->position().toPoint());
    if (!at.isValid())
        return;
    if (event->button() == Qt::LeftButton && (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))
        && mToggleRow) {
        event->accept();
        guarded([&] { mToggleRow(at.row()); });
        return;
    }
    QTableView::mousePressEvent(event);
}

void LayerGrid::showMarks()
{
    QItemSelection rows;
    const int columns = mModel->columnCount();
    for (int row = 0; row < mModel->rowCount(); ++row) {
        if (row == mTable.CurrentRow() || (mMarked && mMarked(row)))
            rows.select(mModel->index(row, 0), mModel->index(row, columns - 1));
    }
    if (rows != selectionModel()->selection())
        selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
}

// One row is always the selection: no click or key takes it away.
QItemSelectionModel::SelectionFlags LayerGrid::selectionCommand(const QModelIndex& index, const QEvent*) const
{
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

void LayerGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    verticalHeader()->viewport()->update();
    if (mFollowing || !current.isValid() || current.row() == mTable.CurrentRow())
        return;
    guarded([&] {
        try {
            if (mChooseRow)
                mChooseRow(current.row());
        } catch (...) {
            followTable(mTable.CurrentRow());
            throw;
        }
        // Refused or not taken: the mark stays where the cursor is.
        if (mTable.CurrentRow() != current.row())
            followTable(mTable.CurrentRow());
    });
}

// The table moved by itself; the grid shows it without moving it again.
void LayerGrid::followTable(int row)
{
    const QScopedValueRollback following(mFollowing, true);
    if (row < 0 || row >= mModel->rowCount()) {
        selectionModel()->clear();
    } else {
        const int column = currentIndex().isValid() ? currentIndex().column() : 0;
        const QModelIndex target = mModel->index(row, column);
        setCurrentIndex(target);
        scrollTo(target);
        if (mMarked)
            showMarks();
    }
    verticalHeader()->viewport()->update();
}

void LayerGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitRowsToFont();
}

// Rows as low as the text allows, but never lower than the kind icons.
void LayerGrid::fitRowsToFont()
{
    verticalHeader()->setDefaultSectionSize(std::max(ImageList::Size + 1, fontMetrics().height() + 4));
}
