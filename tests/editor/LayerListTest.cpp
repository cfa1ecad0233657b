#include "editor/ImageList.h"
#include "editor/LayerGrid.h"
#include "editor/LayerListModel.h"
#include "tests/editor/LayerTables.h"
#include "tests/TestRegistry.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

QString shown(const QAbstractItemModel& model, int row, int column)
{
    return model.data(model.index(row, column), Qt::DisplayRole).toString();
}

QString title(const QAbstractItemModel& model, int column)
{
    return model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

// A card window's layer box in small: the grid and one more control to
// take the focus.
struct GridWindow
{
    explicit GridWindow(LayerTable& table)
        : grid(new LayerGrid(table, &window))
        , other(new QLineEdit(&window))
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(grid);
        layout->addWidget(other);
        window.resize(400, 220);
    }

    bool show()
    {
        window.show();
        window.activateWindow();
        grid->setFocus();
        return QTest::qWaitForWindowActive(&window);
    }

    QRect cell(int row, int column) const { return grid->visualRect(grid->model()->index(row, column)); }

    QWidget window;
    LayerGrid* grid;
    QLineEdit* other;
};

} // namespace

class LayerListRows : public QObject
{
    Q_OBJECT

private slots:
    void rowsShowNumberKindAndText()
    {
        LayerTable Tbl = threeLayers();
        LayerListModel model(Tbl);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.columnCount(), 3);
        QCOMPARE(title(model, 0), QString("#"));
        QCOMPARE(title(model, 1), QString("tipus"));
        QCOMPARE(title(model, 2), QString::fromUtf8("leírás"));
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(shown(model, row, 0), QString::number(row + 1));
            QVERIFY(!model.data(model.index(row, 1), Qt::DisplayRole).isValid());
            QCOMPARE(model.data(model.index(row, 1), LayerListModel::KindRole).toInt(), row);
        }
        QCOMPARE(shown(model, 0, 2), QString::fromUtf8("Kovács Árpád"));
        QCOMPARE(shown(model, 1, 2), QString::fromUtf8("logó"));
    }

    void emptyCardHasOnlyTitles()
    {
        LayerTable Tbl = makeLayerTable();
        Tbl.OpenTable();
        LayerListModel model(Tbl);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(title(model, 2), QString::fromUtf8("leírás"));
    }

    // A card from elsewhere may lack fields; the list shows what it has.
    void missingFieldsShowEmpty()
    {
        LayerTable Tbl("Tbl");
        Tbl.AddField(FieldDef{.FieldName = "sorszam", .Type = FieldType::Integer});
        Tbl.AddField(FieldDef{.FieldName = "nev", .Type = FieldType::String, .Size = 50});
        Tbl.OpenTable();
        LayerListModel model(Tbl);
        Tbl.AddNewRecord();
        Tbl.WriteField("sorszam", 7);
        Tbl.PostRecord();
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(title(model, 1), QString("tipus"));
        QCOMPARE(title(model, 2), QString("nev"));
        QCOMPARE(model.data(model.index(0, 1), LayerListModel::KindRole).toInt(), 0);
        QCOMPARE(shown(model, 0, 0), QString("7"));
    }

    void followsPostsAndRestacking()
    {
        LayerTable Tbl = threeLayers();
        LayerListModel model(Tbl);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy current(&model, &LayerListModel::currentRowChanged);

        Tbl.MoveLast();
        QCOMPARE(current.last().at(0).toInt(), 2);
        Tbl.EditRecord();
        Tbl.WriteField("nev", std::string("keret2"));
        QCOMPARE(shown(model, 2, 2), QString("keret"));  // posted values only
        Tbl.PostRecord();
        QVERIFY(!changed.isEmpty());
        QCOMPARE(changed.last().at(0).toModelIndex().row(), 2);
        QCOMPARE(shown(model, 2, 2), QString("keret2"));

        // Bring the shape back one step, as the restacking commands do.
        Tbl.EditRecord();
        Tbl.WriteField("sorszam", 9999);
        Tbl.PostRecord();
        Tbl.MovePrior();
        Tbl.EditRecord();
        Tbl.WriteField("sorszam", 3);
        Tbl.PostRecord();
        Tbl.MoveNext();
        Tbl.EditRecord();
        Tbl.WriteField("sorszam", 2);
        Tbl.PostRecord();
        Tbl.SortRecords();
        QCOMPARE(shown(model, 1, 2), QString("keret2"));
        QCOMPARE(shown(model, 1, 0), QString("2"));
        QCOMPARE(current.last().at(0).toInt(), Tbl.CurrentRow());

        addLayer(Tbl, 4, 0, "uj");
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(current.last().at(0).toInt(), 3);
    }
};

class LayerGridUse : public QObject
{
    Q_OBJECT

private slots:
    void clickingARowMakesItsLayerCurrent()
    {
        LayerTable Tbl = threeLayers();
        GridWindow w(Tbl);
        QVERIFY(w.show());
        int syncs = 0;
        Tbl.AfterScroll = [&](LayerTable&) { ++syncs; };

        QTest::mouseClick(w.grid->viewport(), Qt::LeftButton, {}, w.cell(1, 2).center());
        QCOMPARE(Tbl.CurrentRow(), 1);
        QCOMPARE(syncs, 1);
        QCOMPARE(w.grid->currentIndex().row(), 1);

        QTest::keyClick(w.grid, Qt::Key_Down);
        QCOMPARE(Tbl.CurrentRow(), 2);
        QTest::keyClick(w.grid, Qt::Key_PageUp);
        QCOMPARE(Tbl.CurrentRow(), 0);
        QCOMPARE(syncs, 3);

        // Below the rows there is nothing to pick; the row stays marked.
        QTest::mouseClick(w.grid->viewport(), Qt::LeftButton, {}, QPoint(20, w.grid->viewport()->height() - 3));
        QCOMPARE(Tbl.CurrentRow(), 0);
        QCOMPARE(w.grid->selectionModel()->selectedRows().size(), 1);
    }

    // The edit is posted on the way, and the list's own notice of the post
    // must not pull the selection back to the edited row.
    void clickingWhileEditingPostsAndMoves()
    {
        LayerTable Tbl = threeLayers();
        GridWindow w(Tbl);
        QVERIFY(w.show());
        Tbl.EditRecord();
        Tbl.WriteField("nev", std::string("Anna"));
        QTest::mouseClick(w.grid->viewport(), Qt::LeftButton, {}, w.cell(2, 0).center());
        QCOMPARE(Tbl.CurrentRow(), 2);
        QCOMPARE(Tbl.State(), TableState::Browse);
        QCOMPARE(w.grid->currentIndex().row(), 2);
        QCOMPARE(w.grid->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(shown(*w.grid->model(), 0, 2), QString("Anna"));
    }

    void tableMovesAreShownWithoutMovingItAgain()
    {
        LayerTable Tbl = threeLayers();
        GridWindow w(Tbl);
        int moves = 0;
        Tbl.BeforeScroll = [&](LayerTable&) { ++moves; };

        Tbl.MoveLast();
        QCOMPARE(moves, 1);
        QCOMPARE(w.grid->currentIndex().row(), 2);
        const auto selected = w.grid->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.first().row(), 2);

        Tbl.RemoveRecord();
        QCOMPARE(moves, 2);
        QCOMPARE(w.grid->currentIndex().row(), 1);
    }

    void tabMovesFromCellToCellAndRow()
    {
        LayerTable Tbl = threeLayers();
        GridWindow w(Tbl);
        QVERIFY(w.show());
        QCOMPARE(w.grid->currentIndex(), w.grid->model()->index(0, 0));

        QTest::keyClick(w.grid, Qt::Key_Tab);
        QTest::keyClick(w.grid, Qt::Key_Tab);
        QCOMPARE(w.grid->currentIndex().column(), 2);
        QTest::keyClick(w.grid, Qt::Key_Tab);
        QCOMPARE(w.grid->currentIndex(), w.grid->model()->index(1, 0));
        QCOMPARE(Tbl.CurrentRow(), 1);
        QVERIFY(w.grid->hasFocus());

        QTest::keyClick(w.grid, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(w.grid->currentIndex(), w.grid->model()->index(0, 2));
        QCOMPARE(Tbl.CurrentRow(), 0);
        QVERIFY(w.grid->hasFocus());

        // The ends of the list keep the focus in the grid too.
        QTest::keyClick(w.grid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(w.grid->currentIndex(), w.grid->model()->index(2, 2));
        QTest::keyClick(w.grid, Qt::Key_Tab);
        QCOMPARE(w.grid->currentIndex(), w.grid->model()->index(2, 2));
        QVERIFY(w.grid->hasFocus());
        QCOMPARE(Tbl.CurrentRow(), 2);
    }

    // The card window's delete command owns Ctrl+Del.
    void ctrlDeleteReachesTheWindowsCommand()
    {
        LayerTable Tbl = threeLayers();
        GridWindow w(Tbl);
        QAction remove;
        remove.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
        w.window.addAction(&remove);
        QSignalSpy triggered(&remove, &QAction::triggered);
        QVERIFY(w.show());
        QTest::keyClick(w.grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(triggered.size(), 1);
        QCOMPARE(Tbl.RecordTotal(), 3);
    }

    void indicatorMarksTheCurrentRowOnly()
    {
        LayerTable Tbl = threeLayers();
        GridWindow w(Tbl);
        QVERIFY(w.show());
        Tbl.MoveTo(1);
        QHeaderView* indicator = w.grid->verticalHeader();
        const QImage shot = indicator->grab().toImage();
        for (int row = 0; row < 3; ++row) {
            const QRect section(0, indicator->sectionViewportPosition(row), indicator->width(),
                                indicator->sectionSize(row));
            int dark = 0;
            for (int y = section.top(); y <= section.bottom(); ++y)
                for (int x = section.left(); x <= section.right(); ++x)
                    dark += qGray(shot.pixel(x, y)) < 40;
            QVERIFY2(row == 1 ? dark >= 10 : dark == 0, qPrintable(QString::number(row)));
        }
    }

    // Each kind's icon sits 16 pixels into its cell, on the cell's own
    // background: the selection colour on the current row.
    void kindIconsAreDrawnInTheirCells()
    {
        LayerTable Tbl = threeLayers();
        addLayer(Tbl, 4, 7, "idegen");
        Tbl.MoveFirst();
        GridWindow w(Tbl);
        QVERIFY(w.show());
        const QImage shot = w.grid->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QPalette colours = w.grid->palette();
        for (int row = 0; row < 4; ++row) {
            const QRect cell = w.cell(row, 1);
            const QColor ground = colours.color(row == 0 ? QPalette::Highlight : QPalette::Base);
            QImage expected(ImageList::Size, ImageList::Size, QImage::Format_RGB32);
            expected.fill(ground);
            if (row < 3) {
                QPainter painter(&expected);
                painter.drawPixmap(0, 0, ImageList::pixmap(12 + row));
            }
            QCOMPARE(shot.copy(cell.left() + 16, cell.top(), 16, 16), expected);
            QCOMPARE(shot.pixelColor(cell.left() + 4, cell.top() + 4), ground);
        }
    }
};

REGISTER_TEST(LayerListRows)
REGISTER_TEST(LayerGridUse)

#include "LayerListTest.moc"
