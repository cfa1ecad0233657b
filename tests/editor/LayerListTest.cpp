#include "editor/ImageList.h"
#include "editor/LayerGrid.h"
#include "editor/LayerListModel.h"
#include "tests/editor/LayerTables.h"
#include "tests/TestRegistry.h"

#include <QAction>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QVBoxLayout>

// A card window's layer box in small: the grid over three layers and one
// more control to take the focus, shown and active.
class LayerListTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<LayerTable> mTbl;
    std::unique_ptr<QWidget> mWindow;
    LayerGrid* mGrid = nullptr;

    QModelIndex at(int row, int column) const { return mGrid->model()->index(row, column); }
    QString shown(int row, int column) const { return at(row, column).data().toString(); }
    void click(int row)
    {
        QTest::mouseClick(mGrid->viewport(), Qt::LeftButton, {}, mGrid->visualRect(at(row, 2)).center());
    }

private slots:
    void init()
    {
        mTbl = std::make_unique<LayerTable>(threeLayers());
        mWindow = std::make_unique<QWidget>();
        mGrid = new LayerGrid(*mTbl, mWindow.get());
        mGrid->setRowChooser([this](int row) { mTbl->MoveTo(row); });
        auto* layout = new QVBoxLayout(mWindow.get());
        layout->addWidget(mGrid);
        layout->addWidget(new QLineEdit(mWindow.get()));
        mWindow->resize(400, 220);
        QVERIFY(showActive(*mWindow, mGrid));
    }

    void cleanup()
    {
        mWindow.reset();
        mTbl.reset();
    }

    // Number, kind (an icon, no text) and text; posted values only, also
    // after restacking.
    void rowsFollowPostsAndRestacking()
    {
        QSignalSpy current(qobject_cast<LayerListModel*>(mGrid->model()), &LayerListModel::currentRowChanged);
        QCOMPARE(shown(0, 0) + shown(1, 0) + shown(2, 0), QString("123"));
        QVERIFY(!at(1, 1).data().isValid());
        QCOMPARE(at(1, 1).data(LayerListModel::KindRole).toInt(), 1);
        QCOMPARE(shown(0, 2), FirstText);
        QCOMPARE(mGrid->model()->headerData(2, Qt::Horizontal).toString(), QString::fromUtf8("leírás"));

        mTbl->MoveLast();
        mTbl->EditRecord();
        mTbl->WriteField("nev", std::string("keret2"));
        QCOMPARE(shown(2, 2), QString("keret"));
        mTbl->PostRecord();
        mTbl->EditRecord();
        mTbl->WriteField("sorszam", 2);
        mTbl->PostRecord();
        mTbl->MovePrior();
        mTbl->EditRecord();
        mTbl->WriteField("sorszam", 3);
        mTbl->PostRecord();
        mTbl->SortRecords();
        QCOMPARE(shown(1, 2), QString("keret2"));
        QCOMPARE(shown(1, 0), QString("2"));
        QCOMPARE(current.last().at(0).toInt(), mTbl->CurrentRow());
        addLayer(*mTbl, 4, 0, "uj");
        QCOMPARE(mGrid->model()->rowCount(), 4);
        QCOMPARE(current.last().at(0).toInt(), 3);
    }

    // Each pick moves the table once; below the rows nothing is picked.
    void clickingAndKeysMoveTheTableOnce()
    {
        int syncs = 0;
        mTbl->AfterScroll = [&](LayerTable&) { ++syncs; };
        click(1);
        QCOMPARE(mTbl->CurrentRow(), 1);
        QTest::keyClick(mGrid, Qt::Key_Down);
        QCOMPARE(mTbl->CurrentRow(), 2);
        QTest::keyClick(mGrid, Qt::Key_PageUp);
        QCOMPARE(mTbl->CurrentRow(), 0);
        QCOMPARE(syncs, 3);
        QTest::mouseClick(mGrid->viewport(), Qt::LeftButton, {}, QPoint(20, mGrid->viewport()->height() - 3));
        QCOMPARE(mTbl->CurrentRow(), 0);
        QCOMPARE(mGrid->selectionModel()->selectedRows(), QModelIndexList({at(0, 0)}));
    }

    // The edit is posted on the way, and the list's own notice of the post
    // must not pull the selection back to the edited row.
    void clickingWhileEditingPostsAndMoves()
    {
        mTbl->EditRecord();
        mTbl->WriteField("nev", std::string("Anna"));
        click(2);
        QCOMPARE(mTbl->State(), TableState::Browse);
        QCOMPARE(mGrid->selectionModel()->selectedRows(), QModelIndexList({at(2, 0)}));
        QCOMPARE(shown(0, 2), QString("Anna"));
    }

    void tableMovesAreShownWithoutMovingItAgain()
    {
        int moves = 0;
        mTbl->BeforeScroll = [&](LayerTable&) { ++moves; };
        mTbl->MoveLast();
        QCOMPARE(mGrid->selectionModel()->selectedRows(), QModelIndexList({at(2, 0)}));
        mTbl->RemoveRecord();
        QCOMPARE(moves, 2);
        QCOMPARE(mGrid->currentIndex().row(), 1);
    }

    // Tab walks the cells and wraps to the next row; the ends keep the
    // focus. Ctrl+Del belongs to the card window's delete command.
    void keysStayInTheGridExceptCtrlDelete()
    {
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(mGrid, Qt::Key_Tab);
        QCOMPARE(mGrid->currentIndex(), at(1, 0));
        QCOMPARE(mTbl->CurrentRow(), 1);
        QTest::keyClick(mGrid, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(mGrid->currentIndex(), at(0, 2));
        QTest::keyClick(mGrid, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(mGrid, Qt::Key_Tab);
        QCOMPARE(mGrid->currentIndex(), at(2, 2));
        QVERIFY(mGrid->hasFocus());

        QAction remove;
        remove.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
        mWindow->addAction(&remove);
        QSignalSpy triggered(&remove, &QAction::triggered);
        QTest::keyClick(mGrid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(triggered.size(), 1);
        QCOMPARE(mTbl->RecordTotal(), 3);
    }

    // Each kind's icon sits 16 pixels into its cell, on the cell's own
    // background: the selection colour on the current row. An unknown kind
    // shows no icon.
    void kindIconsAreDrawnInTheirCells()
    {
        addLayer(*mTbl, 4, 7, "idegen");
        mTbl->MoveFirst();
        const QImage shot = mGrid->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (int row = 0; row < 4; ++row) {
            const QRect cell = mGrid->visualRect(at(row, 1));
            const QColor ground = mGrid->palette().color(row == 0 ? QPalette::Highlight : QPalette::Base);
            QImage expected(ImageList::Size, ImageList::Size, QImage::Format_RGB32);
            expected.fill(ground);
            if (row < 3)
                QPainter(&expected).drawPixmap(0, 0, ImageList::pixmap(12 + row));
            QCOMPARE(shot.copy(cell.left() + 16, cell.top(), 16, 16), expected);
            QCOMPARE(shot.pixelColor(cell.left() + 4, cell.top() + 4), ground);
        }
    }
};

REGISTER_TEST(LayerListTest)

#include "LayerListTest.moc"
