#include "document/Child.h"

#include "document/ReductionDialog.h"
#include "editor/CardSurface.h"
#include "layer/LayerRecord.h"
#include "layer/PictureDecoder.h"
#include "tests/FakeDialogs.h"
#include "tests/TestRegistry.h"
#include "tests/document/CardWindowTest.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLinearGradient>
#include <QMimeData>
#include <QPainter>
#include <QTest>

namespace {

// A photo-sized picture: a gradient, left half see-through where the format
// can keep it.
QImage largePicture(QSize size, bool transparent = false)
{
    QImage image(size, transparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, Qt::darkBlue);
    gradient.setColorAt(1, Qt::yellow);
    painter.fillRect(transparent ? QRect(size.width() / 2, 0, size.width() / 2, size.height()) : image.rect(),
                     gradient);
    return image;
}

std::string stored(const Tfrm_Child* child)
{
    return child->Tbl().ReadBlob("kep");
}

QList<int> box(const Tfrm_Child* child)
{
    return {ReadInt(child->Tbl(), "left"), ReadInt(child->Tbl(), "top"), ReadInt(child->Tbl(), "width"),
            ReadInt(child->Tbl(), "height")};
}

// Files dragged from a file manager and let go over the surface.
void dropFiles(CardSurface* surface, const QStringList& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPoint at = surface->toScreen(QPoint(20, 20));
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &drop);
}

} // namespace

// A picture far finer than its stretched box prints, placed by "Új kép",
// pasted, dropped or chosen for a box: the question, its answers, the
// remembered answer, and the history.
class LargePicturesTest : public CardWindowTest
{
    Q_OBJECT

    QString pictureFile(const QString& name, QSize size, const char* format, bool transparent = false)
    {
        const QString path = dir.filePath(name);
        largePicture(size, transparent).save(path, format, 95);
        return path;
    }

private slots:
    // A 3000 × 2000 photo comes in 270 × 180 pixels (fitted into the card):
    // 1688 × 1125 is 600 ppi of that. Placed and reduced is one step.
    void placedPhotoIsStoredReducedInOneStep()
    {
        Tfrm_Child* child = newCard();
        const QString path = pictureFile("photo.JPG", {3000, 2000}, "JPEG");
        const QByteArray whole = readBytes(path);
        fake->pictureAnswers = {path};
        fake->reductionAnswers = {{true, false}};
        child->action("aKep")->trigger();

        QCOMPARE(fake->count("reduction"), 1);
        const Dialogs::ReductionOffer offer = fake->reductionOffers.at(0);
        QCOMPARE(offer.pixels, QSize(3000, 2000));
        QCOMPARE(offer.reducedPixels, QSize(1688, 1125));
        QCOMPARE(offer.bytes, std::size_t(whole.size()));
        QCOMPARE(box(child), QList<int>({10, 10, 270, 180}));
        QCOMPARE(ReadStr(child->Tbl(), "keptip"), std::string(".JPG"));
        const std::string reduced = stored(child);
        QCOMPARE(offer.reducedBytes, reduced.size());
        QVERIFY(reduced.size() < std::size_t(whole.size()));
        QCOMPARE(pictureOwnSize(reduced, ".jpg"), QSize(1688, 1125));
        QVERIFY(fake->of("reduction")[0].text.contains(shownFileSize(whole.size()) + " → "
                                                       + shownFileSize(reduced.size())));
        QCOMPARE(child->largePictures(), LargePictures::Ask);

        QCOMPARE(child->document().history().count(), 1);
        child->document().history().undo();
        QCOMPARE(child->Tbl().RecordTotal(), 0);
        child->document().history().redo();
        QCOMPARE(stored(child), reduced);
    }

    // No keeps the picture as it was chosen, byte for byte.
    void refusedPictureIsKeptWhole()
    {
        Tfrm_Child* child = newCard();
        const QString path = pictureFile("photo.jpg", {3000, 2000}, "JPEG");
        fake->pictureAnswers = {path};
        fake->reductionAnswers = {{false, false}};
        child->action("aKep")->trigger();
        QCOMPARE(fake->count("reduction"), 1);
        QCOMPARE(QByteArray::fromStdString(stored(child)), readBytes(path));
        QCOMPARE(box(child), QList<int>({10, 10, 270, 180}));
        QCOMPARE(child->document().history().count(), 1);
        QVERIFY(fake->of("error").empty());
    }

    // "Ne kérdezze többé" with either answer: the window is told, and the
    // pictures after it are handled so without a question, until the
    // answer is set back to asking. A window opened with an answer keeps to
    // it from the start.
    void rememberedAnswerIsAskedNoMore()
    {
        Tfrm_Child* child = newCard();
        QList<LargePictures> told;
        child->LargePicturesChosen = [&](LargePictures answer) { told << answer; };
        const QString path = pictureFile("photo.jpg", {3000, 2000}, "JPEG");
        const QByteArray whole = readBytes(path);
        fake->pictureAnswers = {path, path};
        fake->reductionAnswers = {{true, true}};
        child->action("aKep")->trigger();
        child->action("aKep")->trigger();
        QCOMPARE(fake->count("reduction"), 1);
        QCOMPARE(told, QList<LargePictures>{LargePictures::Reduce});
        QCOMPARE(pictureOwnSize(stored(child), ".jpg"), QSize(1688, 1125));

        child->setLargePictures(LargePictures::Ask);
        fake->pictureAnswers = {path, path};
        fake->reductionAnswers = {{false, true}};
        child->action("aKep")->trigger();
        child->action("aKep")->trigger();
        QCOMPARE(fake->count("reduction"), 2);
        QCOMPARE(told, QList<LargePictures>({LargePictures::Reduce, LargePictures::Keep}));
        QCOMPARE(QByteArray::fromStdString(stored(child)), whole);

        Tfrm_Child::Settings settings{QFont("Arial", 8), 9};
        settings.Reduction = LargePictures::Reduce;
        Tfrm_Child* other = newCard(settings);
        fake->pictureAnswers = {path};
        other->action("aKep")->trigger();
        QCOMPARE(fake->count("reduction"), 2);
        QCOMPARE(pictureOwnSize(stored(other), ".jpg"), QSize(1688, 1125));
    }

    // A screenshot pasted stays a PNG, reduced with its transparency; two
    // dropped files are asked about one by one and come as one step.
    void pastedAndDroppedPicturesAreOffered()
    {
        Tfrm_Child* child = newCard();
        QApplication::clipboard()->setImage(largePicture({3000, 2000}, true));
        fake->reductionAnswers = {{true, false}};
        child->action("aBeillesztes")->trigger();
        QCOMPARE(fake->count("reduction"), 1);
        QCOMPARE(ReadStr(child->Tbl(), "keptip"), std::string(".png"));
        const QImage pasted = QImage::fromData(QByteArray::fromStdString(stored(child)), "PNG");
        QCOMPARE(pasted.size(), QSize(1688, 1125));
        QCOMPARE(pasted.pixelColor(100, 500).alpha(), 0);
        QCOMPARE(pasted.pixelColor(1600, 500).alpha(), 255);

        const QString a = pictureFile("a.png", {3000, 2000}, "PNG");
        const QString b = pictureFile("b.png", {2400, 2400}, "PNG");
        fake->reductionAnswers = {{false, false}, {true, false}};
        dropFiles(child->Surface1, {a, b});
        QCOMPARE(fake->count("reduction"), 3);
        QCOMPARE(fake->reductionOffers.at(2).reducedPixels, QSize(1125, 1125));
        QCOMPARE(child->Tbl().RecordTotal(), 3);
        QCOMPARE(child->document().history().count(), 2);
        QCOMPARE(pictureOwnSize(stored(child), ".png"), QSize(1125, 1125));
        child->document().setCurrent(child->Tbl().StoredId(1));
        QCOMPARE(QByteArray::fromStdString(stored(child)), readBytes(a));
    }

    // A picture chosen for a stretched box is offered for that box, which
    // stays as it was; one chosen for a box at its own size is not.
    void pictureChosenForABoxFitsThatBox()
    {
        Tfrm_Child* child = openCard({{1, 1, "kep", 0, 0, {{"kep", pictureBlob({8, 8})}, {"keptip", std::string(".png")},
                                                         {"width", 100}, {"height", 50}, {"strech", true}}}});
        const std::string before = stored(child);
        const QString path = pictureFile("wide.png", {2000, 1000}, "PNG");
        fake->pictureAnswers = {path};
        fake->reductionAnswers = {{true, false}};
        child->action("aKepValaszt")->trigger();
        QCOMPARE(fake->reductionOffers.at(0).reducedPixels, QSize(625, 313));
        QCOMPARE(pictureOwnSize(stored(child), ".png"), QSize(625, 313));
        QCOMPARE(box(child), QList<int>({0, 0, 100, 50}));
        QCOMPARE(child->document().history().count(), 1);
        child->document().history().undo();
        QCOMPARE(stored(child), before);

        child->action("aNormal")->trigger();
        fake->pictureAnswers = {path};
        child->action("aKepValaszt")->trigger();
        QCOMPARE(fake->count("reduction"), 1);
        QCOMPARE(QByteArray::fromStdString(stored(child)), readBytes(path));
    }

    // A reduction that fails says so and places the picture whole; a file
    // cut short is refused before anything is offered, as before.
    void failedReductionKeepsThePictureWhole()
    {
        const auto reduce = Tfrm_Child::ReducePicture;
        Tfrm_Child::ReducePicture = [](std::string_view, std::string_view, QSize) -> std::string {
            throw PictureError("The reduced .jpg picture cannot be written");
        };
        Tfrm_Child* child = newCard();
        const QString path = pictureFile("photo.jpg", {3000, 2000}, "JPEG");
        fake->pictureAnswers = {path};
        child->action("aKep")->trigger();
        Tfrm_Child::ReducePicture = reduce;
        QCOMPARE(fake->count("reduction"), 0);
        QCOMPARE(fake->of("error").at(0).text,
                 QString("A kép kicsinyítése nem sikerült, ezért a kép eredeti méretében került a kártyára."));
        QCOMPARE(QByteArray::fromStdString(stored(child)), readBytes(path));
        QCOMPARE(child->document().history().count(), 1);

        QFile cut(dir.filePath("cut.jpg"));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(readBytes(path).left(120));
        cut.close();
        fake->pictureAnswers = {cut.fileName()};
        child->action("aKep")->trigger();
        QCOMPARE(fake->count("reduction"), 0);
        QCOMPARE(fake->count("error"), 2);
        QCOMPARE(child->Tbl().RecordTotal(), 1);
    }
};

REGISTER_TEST(LargePicturesTest)

#include "LargePicturesTest.moc"
