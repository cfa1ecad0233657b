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

int countAlpha(const QImage& image, int low, int high)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) >= low && qAlpha(image.pixel(x, y)) <= high;
    return count;
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
    void everyUsedIndexHasAVisiblePictureWithAlpha()
    {
        for (int index = 0; index < ImageList::count(); ++index) {
            if (Unused.contains(index))
                continue;
            const QByteArray at = "index " + QByteArray::number(index);
            QVERIFY2(!ImageList::icon(index).isNull(), at);
            const QImage image = pictureOf(index);
            QVERIFY2(image.size() == QSize(16, 16), at);
            QVERIFY2(countAlpha(image, 255, 255) > 0, at);
            QVERIFY2(ImageList::pixmap(index).hasAlphaChannel(), at);
        }
    }

    void unusedIndexesAreEmptyButNotNull()
    {
        for (int index : Unused) {
            QVERIFY(!ImageList::icon(index).isNull());
            const QImage image = pictureOf(index);
            QCOMPARE(image.size(), QSize(16, 16));
            QCOMPARE(countAlpha(image, 1, 255), 0);
        }
    }

    void outsideTheListThereIsNoPicture()
    {
        for (int index : {-1, ImageList::count()}) {
            QVERIFY(ImageList::icon(index).isNull());
            QVERIFY(ImageList::pixmap(index).isNull());
        }
    }

    // A slip in the index table shows as the same picture twice.
    void noTwoPicturesAreAlike()
    {
        for (int a = 0; a < ImageList::count(); ++a)
            for (int b = a + 1; b < ImageList::count(); ++b)
                if (!Unused.contains(a) && !Unused.contains(b))
                    QVERIFY2(pictureOf(a) != pictureOf(b),
                             QByteArray::number(a) + " and " + QByteArray::number(b));
    }

    // 31 stands for lines running down from left to right, 32 for up.
    void diagonalPatternsRunTheRightWay()
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
    }

    void lineWidthsGrowByOnePixel()
    {
        for (int width = 1; width <= 7; ++width) {
            const QImage image = pictureOf(35 + width);
            int rows = 0;
            for (int y = 0; y < image.height(); ++y)
                rows += isInk(image, 8, y);
            QCOMPARE(rows, width);
        }
    }
};

class CardPictureDrawing : public QObject
{
    Q_OBJECT

private slots:
    void blackFrameOnTheEdgeOfAWhiteCard()
    {
        const QImage image = CardPicture::image().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(350, 199));
        QCOMPARE(CardPicture::pixmap().size(), QSize(350, 199));
        const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
        for (int x = 0; x < 340; ++x) {
            QCOMPARE(image.pixel(x, 0), black);
            QCOMPARE(image.pixel(x, 189), black);
        }
        for (int y = 0; y < 190; ++y) {
            QCOMPARE(image.pixel(0, y), black);
            QCOMPARE(image.pixel(339, y), black);
        }
        for (QPoint at : {QPoint(1, 1), QPoint(338, 188), QPoint(1, 188), QPoint(338, 1), QPoint(170, 95)})
            QCOMPARE(image.pixel(at), white);
    }

    void shadowFadesToTransparentBelowAndRight()
    {
        const QImage image = CardPicture::image().convertToFormat(QImage::Format_ARGB32);
        for (QPoint at : {QPoint(349, 198), QPoint(349, 0), QPoint(0, 198)})
            QCOMPARE(qAlpha(image.pixel(at)), 0);

        // Along a row to the right of the card and a column below it.
        for (auto [start, step] : {std::pair{QPoint(340, 95), QPoint(1, 0)},
                                   std::pair{QPoint(170, 190), QPoint(0, 1)}}) {
            QPoint at = start;
            const QRgb first = image.pixel(at);
            QVERIFY(qAlpha(first) > 0 && qAlpha(first) < 255);
            int previous = 255;
            for (; image.rect().contains(at); at += step) {
                const QRgb pixel = image.pixel(at);
                QVERIFY(qAlpha(pixel) <= previous);
                if (qAlpha(pixel) > 0)
                    QVERIFY(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel));
                previous = qAlpha(pixel);
            }
            QCOMPARE(previous, 0);
        }
    }
};

REGISTER_TEST(ImageListPictures)
REGISTER_TEST(CardPictureDrawing)

#include "ImageListTest.moc"
