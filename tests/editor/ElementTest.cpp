#include "editor/PictureElement.h"
#include "editor/ResizeHandle.h"
#include "editor/TextElement.h"
#include "tests/TestRegistry.h"

#include <QMenu>
#include <QTest>
#include <QWindow>

namespace {

// What the element itself paints, on a transparent ground.
QRgb paintedAt(QWidget& element, int x, int y)
{
    QImage image(element.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    element.render(&image, {}, {}, QWidget::DrawChildren);
    return image.pixel(x, y);
}

// Records the element's signals in order, with the last move's position.
struct MouseLog
{
    explicit MouseLog(CardElement* element)
    {
        QObject::connect(element, &CardElement::pressed, [this] { events << "pressed"; });
        QObject::connect(element, &CardElement::moved, [this](auto, auto, auto, QPoint at) { events << "moved"; last = at; });
        QObject::connect(element, &CardElement::released, [this] { events << "released"; });
        QObject::connect(element, &CardElement::doubleClicked, [this] { events << "double"; });
    }

    QStringList events;
    QPoint last;
};

} // namespace

// A shown card box with two elements, at (10, 10) and (100, 100), 50 × 40.
class ElementTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> mBox;
    CardElement* mFirst = nullptr;
    CardElement* mSecond = nullptr;

private slots:
    void init()
    {
        mBox = std::make_unique<QWidget>();
        mBox->resize(300, 200);
        mFirst = new CardElement(mBox.get());
        mFirst->setGeometry(10, 10, 50, 40);
        mSecond = new CardElement(mBox.get());
        mSecond->setGeometry(100, 100, 50, 40);
        mBox->show();
        QVERIFY(QTest::qWaitForWindowExposed(mBox.get()));
    }

    void cleanup() { mBox.reset(); }

    void contextMenuOpensAtTheRightButtonsRelease()
    {
        QMenu menu;
        menu.addAction("Betűtípus");
        mFirst->setContextMenu(&menu);
        MouseLog log(mFirst);
        QTest::mousePress(mFirst, Qt::RightButton, {}, QPoint(5, 6));
        QVERIFY(!menu.isVisible());
        QTest::mouseRelease(mFirst, Qt::RightButton, {}, QPoint(5, 6));
        QVERIFY(menu.isVisible());
        QCOMPARE(menu.pos(), mFirst->mapToGlobal(QPoint(5, 6)));
        QCOMPARE(log.events, QStringList({"pressed", "released"}));
    }

    // The pressed element is dragged by its own moves, also where the
    // pointer has left it for another element; without a button, moves go
    // to the element under the pointer.
    void pressedElementKeepsTheMouse()
    {
        MouseLog first(mFirst), second(mSecond);
        QWindow* window = mBox->windowHandle();
        QTest::mousePress(window, Qt::LeftButton, {}, QPoint(15, 13));
        QTest::mouseMove(window, QPoint(120, 110));
        QCOMPARE(first.last, QPoint(110, 100));  // in its own coordinates
        QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(120, 110));
        QCOMPARE(first.events.last(), QString("released"));
        QVERIFY(second.events.isEmpty());
        QTest::mouseMove(window, QPoint(125, 115));
        QCOMPARE(second.events, QStringList({"moved"}));
        QCOMPARE(second.last, QPoint(25, 15));
    }

    // The double-click's command runs first; its press then counts as a
    // press, as the card window's drag handling expects.
    void doubleClickRunsTheCommandThenPresses()
    {
        MouseLog log(mFirst);
        QTest::mouseDClick(mBox->windowHandle(), Qt::LeftButton, {}, QPoint(14, 14));
        const qsizetype double_ = log.events.indexOf("double");
        QVERIFY(double_ > 0);
        QCOMPARE(log.events.mid(double_), QStringList({"double", "pressed", "released"}));
    }

    // The handle moves under the pointer, so only screen positions stay
    // comparable between press and release.
    void resizeHandleReportsScreenPositions()
    {
        auto* handle = new ResizeHandle(mBox.get(), 4);
        handle->move(50, 60);
        handle->show();
        QPoint pressedAt, releasedAt;
        connect(handle, &ResizeHandle::pressed, [&](auto, auto, auto, QPoint at) { pressedAt = at; });
        connect(handle, &ResizeHandle::released, [&](auto, auto, auto, QPoint at) { releasedAt = at; });
        QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(pressedAt, mBox->mapToGlobal(QPoint(53, 63)));
        handle->move(80, 90);
        QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(releasedAt, mBox->mapToGlobal(QPoint(83, 93)));
    }

    // Right-aligned text keeps its right edge when it grows; the others
    // keep their left edge. The first fit only sizes it.
    void textGrowsAwayFromItsAlignedEdge()
    {
        for (TextAlignment alignment : {TextAlignment::Right, TextAlignment::Left, TextAlignment::Center}) {
            auto* text = new TextElement(mBox.get());
            TextLook look{"Anna", layerFont("DejaVu Sans", 12, false, false, false), 12, Qt::black, alignment};
            text->move(100, 20);
            text->setLook(look);
            const QRect before = text->geometry();
            QCOMPARE(before.topLeft(), QPoint(100, 20));
            text->setText("Annabella");
            look.text = "Annabella";
            QCOMPARE(text->size(), textExtent(look));
            text->setLayerFont(layerFont("DejaVu Sans", 20, true, false, false));
            if (alignment == TextAlignment::Right)
                QCOMPARE(text->geometry().right(), before.right());
            else
                QCOMPARE(text->x(), 100);
        }
    }

    // What is shown follows every change of the picture, the mode and the
    // box, though it is kept between repaints; nothing before a picture.
    void pictureShowsTheLatestPictureModeAndBox()
    {
        auto* element = new PictureElement(mBox.get());
        element->resize(100, 100);
        QCOMPARE(qAlpha(paintedAt(*element, 50, 50)), 0);
        QImage picture(50, 50, QImage::Format_RGB32);
        picture.fill(Qt::green);
        element->setStretch(false);
        element->setPicture(LayerPicture(picture));
        QCOMPARE(qAlpha(paintedAt(*element, 75, 75)), 0);
        QCOMPARE(paintedAt(*element, 25, 25), qRgb(0, 255, 0));
        element->setStretch(true);
        QCOMPARE(paintedAt(*element, 75, 75), qRgb(0, 255, 0));
        element->resize(200, 150);
        QCOMPARE(paintedAt(*element, 190, 140), qRgb(0, 255, 0));
        picture.fill(Qt::blue);
        element->setPicture(LayerPicture(picture));
        QCOMPARE(paintedAt(*element, 190, 140), qRgb(0, 0, 255));
    }
};

REGISTER_TEST(ElementTest)

#include "ElementTest.moc"
