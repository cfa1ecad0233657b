#include "tests/TestRegistry.h"
#include "editor/CardPicture.h"
#include "editor/ImageList.h"

#include <QTest>

#include <set>

namespace {

const std::set<int> Unused = {10, 25, 26, 27, 28};

QImage pictureOf(int index)
{
    return ImageList::pixmap(index).toImage().convertToFormat(QImage::Format_ARGB32);
}

bool isInk(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128 && qAlpha(image.pixel(x, y)) == 255;
}

} // namespace

class ImageListPictures : public QObject
{
    Q_OBJECT

private slots:
    // Used indexes show something on a transparent ground, unused ones a
    // blank 16 × 16 picture, and outside the list there is none. A slip in
    // the index table shows as the same picture twice.
    void everyUsedIndexHasItsOwnPicture()
    {
        QVERIFY(ImageList::icon(-1).isNull() && ImageList::pixmap(ImageList::Count).isNull());
        QImage blank(16, 16, QImage::Format_ARGB32);
        blank.fill(Qt::transparent);
        for (int a = 0; a < ImageList::Count; ++a) {
            const QImage image = pictureOf(a);
            const QByteArray at = QByteArray::number(a);
            QVERIFY2(!ImageList::icon(a).isNull() && image.size() == QSize(16, 16), at);
            QVERIFY2((image == blank) == Unused.contains(a) && ImageList::pixmap(a).hasAlphaChannel(), at);
            for (int b = a + 1; b < ImageList::Count && !Unused.contains(a); ++b)
                QVERIFY2(Unused.contains(b) || image != pictureOf(b), at + " and " + QByteArray::number(b));
        }
    }

    // 31 stands for lines running down from left to right, 32 for up;
    // 36 to 42 for lines 1 to 7 pixels wide.
    void patternsAndLineWidthsLookAsNamed()
    {
        for (auto [index, down] : {std::pair{31, true}, std::pair{32, false}}) {
            const QImage image = pictureOf(index);
            int falling = 0, rising = 0;
            for (int y = 3; y < 12; ++y)
                for (int x = 2; x < 12; ++x)
                    if (isInk(image, x, y)) {
                        falling += isInk(image, x + 1, y + 1);
                        rising += isInk(image, x + 1, y - 1);
                    }
            QVERIFY2(down ? falling > rising : rising > falling, QByteArray::number(index));
        }
        for (int width = 1; width <= 7; ++width) {
            const QImage image = pictureOf(35 + width);
            int rows = 0;
            for (int y = 0; y < image.height(); ++y)
                rows += isInk(image, 8, y);
            QCOMPARE(rows, width);
        }
    }

    // A 340 × 190 white card in a black frame, with a grey shadow below
    // and to the right that fades to nothing at the picture's edges.
    void cardPictureHasFrameAndShadow()
    {
        const QImage image = CardPicture::image().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(350, 199));
        for (QPoint at : {QPoint(0, 0), QPoint(339, 0), QPoint(0, 189), QPoint(339, 189), QPoint(170, 0)})
            QCOMPARE(image.pixel(at), qRgb(0, 0, 0));
        for (QPoint at : {QPoint(1, 1), QPoint(338, 188), QPoint(170, 95)})
            QCOMPARE(image.pixel(at), qRgb(255, 255, 255));
        for (QPoint at : {QPoint(340, 95), QPoint(170, 190)})
            QVERIFY(qAlpha(image.pixel(at)) > 0 && qAlpha(image.pixel(at)) < 255 && qIsGray(image.pixel(at)));
        for (QPoint at : {QPoint(349, 95), QPoint(170, 198), QPoint(349, 198), QPoint(349, 0), QPoint(0, 198)})
            QCOMPARE(qAlpha(image.pixel(at)), 0);
    }
};

REGISTER_TEST(ImageListPictures)

#include "ImageListTest.moc"
