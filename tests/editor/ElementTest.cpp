#include "editor/PictureElement.h"
#include "editor/ResizeHandle.h"
#include "editor/TextElement.h"
#include "tests/TestRegistry.h"

#include <QMenu>
#include <QPainter>
#include <QTest>
#include <QWindow>

namespace {

// What the element itself paints, on a transparent ground.
QImage paintedBy(QWidget& element)
{
    QImage image(element.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    element.render(&image, {}, {}, QWidget::DrawChildren);
    return image;
}

// Records the element's signals in order.
struct MouseLog
{
    explicit MouseLog(CardElement* element)
    {
        QObject::connect(element, &CardElement::pressed, [this](CardElement*, Qt::MouseButton, auto, QPoint at) {
            events << "pressed";
            last = at;
        });
        QObject::connect(element, &CardElement::moved, [this](CardElement*, auto, QPoint at) {
            events << "moved";
            last = at;
        });
        QObject::connect(element, &CardElement::released, [this](CardElement*, Qt::MouseButton, auto, QPoint at) {
            events << "released";
            last = at;
        });
        QObject::connect(element, &CardElement::doubleClicked, [this](CardElement*) { events << "double"; });
    }

    QStringList events;
    QPoint last;
};

} // namespace

class CardElementMouse : public QObject
{
    Q_OBJECT

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
        menu.hide();

        QTest::mouseClick(mFirst, Qt::LeftButton, {}, QPoint(5, 6));
        QVERIFY(!menu.isVisible());
    }

    // The pressed element is dragged by its own moves, also where the
    // pointer has left it for another element.
    void pressedElementKeepsTheMouse()
    {
        MouseLog first(mFirst), second(mSecond);
        QWindow* window = mBox->windowHandle();
        QTest::mousePress(window, Qt::LeftButton, {}, QPoint(15, 13));
        QTest::mouseMove(window, QPoint(120, 110));
        QCOMPARE(first.events.last(), QString("moved"));
        QCOMPARE(first.last, QPoint(110, 100));
        QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(120, 110));
        QCOMPARE(first.events.last(), QString("released"));
        QVERIFY(second.events.isEmpty());

        // Without a button, moves go to the element under the pointer.
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

private:
    std::unique_ptr<QWidget> mBox;
    CardElement* mFirst = nullptr;
    CardElement* mSecond = nullptr;
};

class TextElementSizing : public QObject
{
    Q_OBJECT

private slots:
    void rightAlignedTextGrowsToTheLeft()
    {
        QWidget box;
        auto* text = new TextElement(&box);
        TextLook look;
        look.text = "Anna";
        look.font = layerFont("DejaVu Sans", 12, false, false, false);
        look.alignment = TextAlignment::Right;
        text->move(100, 20);
        text->setLook(look);
        QCOMPARE(text->pos(), QPoint(100, 20));  // the first fit only sizes it
        const int right = text->geometry().right();

        text->setText("Annabella");
        look.text = "Annabella";
        QCOMPARE(text->size(), textExtent(look));
        QCOMPARE(text->geometry().right(), right);
        QVERIFY(text->x() < 100);
        QCOMPARE(text->y(), 20);

        text->setLayerFont(layerFont("DejaVu Sans", 20, true, false, false));
        QCOMPARE(text->geometry().right(), right);
    }

    void leftAndCentredTextKeepTheirLeftEdge()
    {
        for (TextAlignment alignment : {TextAlignment::Left, TextAlignment::Center}) {
            QWidget box;
            auto* text = new TextElement(&box);
            TextLook look;
            look.text = "Anna";
            look.alignment = alignment;
            text->setLook(look);
            text->move(100, 20);
            const int width = text->width();
            text->setText("Annabella");
            QCOMPARE(text->x(), 100);
            QVERIFY(text->width() > width);
        }
    }
};

class PictureElementDrawing : public QObject
{
    Q_OBJECT

private slots:
    void emptyPictureShowsAnEmptyBox()
    {
        QWidget box;
        auto* element = new PictureElement(&box);
        element->resize(40, 30);
        const QImage image = paintedBy(*element);
        for (QPoint at : {QPoint(0, 0), QPoint(20, 15), QPoint(39, 29)})
            QCOMPARE(qAlpha(image.pixel(at)), 0);
    }

    // What is shown follows every change of the picture, the mode and the
    // box, though it is kept between repaints.
    void showsTheLatestPictureModeAndBox()
    {
        QWidget box;
        auto* element = new PictureElement(&box);
        element->resize(100, 100);
        QImage picture(50, 50, QImage::Format_RGB32);
        picture.fill(Qt::green);
        element->setStretch(false);
        element->setPicture(picture);
        QCOMPARE(qAlpha(paintedBy(*element).pixel(75, 75)), 0);
        QCOMPARE(paintedBy(*element).pixel(25, 25), qRgb(0, 255, 0));

        element->setStretch(true);
        QCOMPARE(paintedBy(*element).pixel(75, 75), qRgb(0, 255, 0));

        element->resize(200, 150);
        QCOMPARE(paintedBy(*element).pixel(190, 140), qRgb(0, 255, 0));

        picture.fill(Qt::blue);
        element->setPicture(picture);
        QCOMPARE(paintedBy(*element).pixel(190, 140), qRgb(0, 0, 255));
    }
};

class ResizeHandleReporting : public QObject
{
    Q_OBJECT

private slots:
    // The handle moves under the pointer, so only screen positions stay
    // comparable between press and release.
    void reportsScreenPositions()
    {
        QWidget box;
        box.resize(200, 200);
        auto* handle = new ResizeHandle(&box, 4);
        handle->move(50, 60);
        handle->show();
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(handle->size(), QSize(7, 7));
        QPoint pressedAt, releasedAt;
        connect(handle, &ResizeHandle::pressed, [&](ResizeHandle*, Qt::MouseButton, auto, QPoint at) { pressedAt = at; });
        connect(handle, &ResizeHandle::released, [&](ResizeHandle*, Qt::MouseButton, auto, QPoint at) { releasedAt = at; });

        QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(pressedAt, box.mapToGlobal(QPoint(53, 63)));
        handle->move(80, 90);
        QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(releasedAt, box.mapToGlobal(QPoint(83, 93)));
    }
};

REGISTER_TEST(CardElementMouse)
REGISTER_TEST(TextElementSizing)
REGISTER_TEST(PictureElementDrawing)
REGISTER_TEST(ResizeHandleReporting)

#include "ElementTest.moc"
