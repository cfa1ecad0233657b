#include "document/Child.h"

#include "editor/CardSurface.h"
#include "editor/ActionTable.h"
#include "editor/FieldEditors.h"
#include "editor/PictureElement.h"
#include "editor/ShapeElement.h"
#include "editor/TextElement.h"
#include "layer/LayerRecord.h"
#include "tests/FakeDialogs.h"
#include "tests/Failure.h"
#include "tests/TestRegistry.h"
#include "tests/document/CardWindowTest.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The sorszam of each layer in table order.
QList<int> numbers(const LayerTable& table)
{
    QList<int> found;
    const int field = table.FieldIndex("sorszam");
    for (int row = 0; row < table.StoredCount(); ++row)
        found << std::get<std::int32_t>(table.StoredValue(row, field));
    return found;
}

// A text field as stored, Windows-1250.
std::string text(const LayerTable& table, const char* field)
{
    return ReadStr(table, field);
}

} // namespace

class LayerCommandsTest : public CardWindowTest
{
    Q_OBJECT

    QString pngFile(const QString& name, QSize size)
    {
        QFile file(dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(pngBytes(size, Qt::blue));
        return file.fileName();
    }

private slots:
    // The number after the last layer's, the kind's word with it, and the
    // text box ready to take the user's own words.
    void newLayersAreNumberedAfterTheLastOne()
    {
        Tfrm_Child* child = newCard();
        child->action("aSzoveg")->trigger();
        QCOMPARE(numbers(child->Tbl()), QList<int>{1});
        QCOMPARE(text(child->Tbl(), "nev"), std::string("sz\xF6veg" "1"));
        QCOMPARE(child->DBEdit1->selectedText(), QString("szöveg1"));
        QVERIFY(child->DBEdit1->hasFocus());
        QCOMPARE(text(child->Tbl(), "betutipus"), std::string("Arial"));
        QVERIFY(text(child->Tbl(), "compnev").starts_with("lbl"));
        child->action("aAlakzat")->trigger();
        QCOMPARE(text(child->Tbl(), "nev"), std::string("alakzat2"));
        QCOMPARE(ReadInt(child->Tbl(), "brushcolor"), 16777215);
        QCOMPARE(ReadInt(child->Tbl(), "penwidth"), 1);
        QVERIFY(qobject_cast<ShapeElement*>(child->CurrentElement()));
        // A new shape shows its own page at once, with nothing that takes
        // typing.
        QVERIFY(!child->PageControl1->isTabVisible(0) && child->PageControl1->isTabVisible(2));
        QCOMPARE(child->PageControl1->currentWidget(), child->TabSheet3);
        QVERIFY(!child->DBEdit1->isVisibleTo(child));
        QVERIFY(child->Modified());

        // Deleting leaves gaps: 1, 2, 3 less 2 and a picture gives 4.
        child->action("aSzoveg")->trigger();
        child->document().setCurrent(child->Tbl().StoredId(1));
        child->action("aTorol")->trigger();
        QCOMPARE(numbers(child->Tbl()), QList<int>({1, 3}));
        fake->pictureAnswers = {pngFile("photo.JPEG.png", {64, 48})};
        child->action("aKep")->trigger();
        QCOMPARE(numbers(child->Tbl()), QList<int>({1, 3, 4}));
        QCOMPARE(text(child->Tbl(), "nev"), std::string("k\xE9p" "4"));
        QCOMPARE(ReadInt(child->Tbl(), "width"), 64);
        QCOMPARE(ReadInt(child->Tbl(), "height"), 48);
        QCOMPARE(text(child->Tbl(), "keptip"), std::string(".png"));
        QVERIFY(ReadBool(child->Tbl(), "strech"));
        QCOMPARE(child->CurrentElement()->size(), QSize(64, 48));
        QCOMPARE(fake->of("picture")[0].text,
                 QString("Összes kép állomány (*.png;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.png;*.jpg;*.jpeg;"
                         "*.bmp;*.ico;*.emf;*.wmf|Portable Network Graphics (*.png)|*.png|JPEG Image File (*.jpg)|"
                         "*.jpg;*.jpeg|Icons (*.ico)|*.ico"));
    }

    // A drawing from a vector program a little taller than the card comes
    // in fitted into it from (10, 10), its aspect kept; it shows on the
    // surface stretched and at its own size from the corner.
    void metafilePicturesComeInFittedIntoTheCard()
    {
        Tfrm_Child* child = newCard();
        child->show();
        fake->pictureAnswers = {QString(METAFILE_DATA_DIR "/card-b.emf")};
        child->action("aKep")->trigger();
        QCOMPARE(ReadInt(child->Tbl(), "width"), 317);  // 340 × 193 into 330 × 180
        QCOMPARE(ReadInt(child->Tbl(), "height"), 180);
        QCOMPARE(ReadInt(child->Tbl(), "left"), 10);
        QCOMPARE(ReadInt(child->Tbl(), "top"), 10);
        QCOMPARE(text(child->Tbl(), "keptip"), std::string(".emf"));
        auto* picture = qobject_cast<PictureElement*>(child->CurrentElement());
        QVERIFY(picture && picture->picture().isVector());

        // Made smaller, the stretched drawing still fills the box; at its
        // own size only its top-left part shows.
        picture->resize(85, 48);
        const QImage stretched = picture->grab().toImage();
        child->action("aNormal")->trigger();
        const QImage natural = picture->grab().toImage();
        QVERIFY(stretched != natural);
        auto inked = [](const QImage& image) {
            int count = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    count += qAlpha(image.pixel(x, y)) > 0 && image.pixel(x, y) != qRgb(255, 255, 255);
            return count;
        };
        QVERIFY(inked(stretched) > 200 && inked(natural) > 200);
        QVERIFY(fake->of("error").empty());
    }

    // A cancelled picture, a delete with nothing to delete and a file that
    // is no picture leave no step, and the card is not modified by them.
    void modifiedFollowsTheCommandsAsTheyAreMeant()
    {
        Tfrm_Child* child = newCard();
        child->action("aKep")->trigger();
        QVERIFY(!child->Modified());
        child->document().history().setClean();
        child->action("aTorol")->trigger();
        QVERIFY(!child->Modified());

        child->document().history().setClean();
        QFile junk(dir.filePath("junk.png"));
        junk.open(QIODevice::WriteOnly);
        junk.write("not a picture");
        junk.close();
        fake->pictureAnswers = {junk.fileName()};
        child->action("aKep")->trigger();
        QCOMPARE(child->Tbl().RecordTotal(), 0);
        QVERIFY(!child->Modified());
        QCOMPARE(fake->of("error").back().text,
                 QString("The .png picture cannot be read: its data is damaged or is not a .png picture."));
    }

    // A drawn name that this card uses already is drawn again.
    void elementNamesNeverClash()
    {
        Tfrm_Child* child = openCard({{1, 2, "a", 10, 10, {{"compnev", std::string("shp5")}}}});
        QList<int> draws{5, 5, 7};
        Tfrm_Child::DrawNameNumber = [&draws] { return draws.takeFirst(); };
        child->action("aAlakzat")->trigger();
        QCOMPARE(text(child->Tbl(), "compnev"), std::string("shp7"));
        QVERIFY(child->findElement("shp7") && child->findElement("shp5"));
    }

    // Layers 1, 2, 3 with 2 current: 2 goes up and stays selected; the top
    // layer does not move; a missing neighbour's number is taken instead;
    // text still being typed comes along.
    void restackingExchangesNumbers()
    {
        Tfrm_Child* child = openCard({{1, 0, "a"}, {2, 0, "b"}, {3, 0, "c"}});
        child->document().setCurrent(child->Tbl().StoredId(1));
        child->document().history().setClean();
        child->DBEdit1->setFocus();
        child->DBEdit1->selectAll();
        QTest::keyClicks(child->DBEdit1, "typed");
        child->action("aFeljebb")->trigger();
        QCOMPARE(numbers(child->Tbl()), QList<int>({1, 2, 3}));
        QCOMPARE(text(child->Tbl(), "nev"), std::string("typed"));
        QCOMPARE(ReadInt(child->Tbl(), "sorszam"), 3);
        QCOMPARE(child->CurrentElement(), child->findElement("e2"));
        const QObjectList order = child->Surface1->children();
        QVERIFY(order.indexOf(child->findElement("e2")) > order.indexOf(child->findElement("e3")));
        QVERIFY(child->Modified());

        child->document().history().setClean();
        child->action("aFeljebb")->trigger();
        QVERIFY(!child->Modified());
        child->document().setCurrent(child->Tbl().StoredId(0));
        child->action("aHatrabb")->trigger();
        QVERIFY(!child->Modified());
        // Selection still follows after a step that did nothing.
        child->document().setCurrent(child->Tbl().StoredId(1));
        QCOMPARE(child->CurrentElement(), child->findElement("e3"));

        Tfrm_Child* gaps = openCard({{1, 0, "a"}, {3, 0, "c"}});
        gaps->action("aFeljebb")->trigger();
        QCOMPARE(numbers(gaps->Tbl()), QList<int>({2, 3}));
        QCOMPARE(text(gaps->Tbl(), "nev"), std::string("a"));
        gaps->action("aFeljebb")->trigger();
        QCOMPARE(numbers(gaps->Tbl()), QList<int>({2, 3}));
        QCOMPARE(gaps->Tbl().RecordPosition(), 2);
        QCOMPARE(text(gaps->Tbl(), "nev"), std::string("a"));
    }

    // On a card an earlier step has sorted, a missing neighbour's number is
    // taken all the same: the order stays, and each press moves the layer
    // the user selected, up and down.
    void restackingAcrossAGapOnASortedCard()
    {
        Tfrm_Child* child = openCard({{1, 0, "a"}, {2, 0, "b"}, {4, 0, "d"}});
        child->document().setCurrent(child->Tbl().StoredId(1));
        child->action("aHatrabb")->trigger();  // sorts the table
        QVERIFY(child->Tbl().IsSorted());
        QCOMPARE(numbers(child->Tbl()), QList<int>({1, 2, 4}));
        QCOMPARE(text(child->Tbl(), "nev"), std::string("b"));
        child->action("aFeljebb")->trigger();  // b back to 2
        child->action("aFeljebb")->trigger();  // 2 into the gap: 3, order kept
        QCOMPARE(numbers(child->Tbl()), QList<int>({1, 3, 4}));
        QCOMPARE(text(child->Tbl(), "nev"), std::string("b"));
        QCOMPARE(child->Tbl().RecordPosition(), 2);
        auto names = [&] {
            QStringList found;
            for (int row = 0; row < child->Tbl().StoredCount(); ++row)
                found << QString::fromStdString(std::get<std::string>(child->Tbl().StoredValue(row, child->Tbl().FieldIndex("nev"))));
            return found;
        };
        QCOMPARE(names(), QStringList({"a", "b", "d"}));
        child->action("aFeljebb")->trigger();  // now over d
        QCOMPARE(names(), QStringList({"a", "d", "b"}));
        QCOMPARE(child->CurrentElement(), child->findElement("e2"));
        child->document().setCurrent(child->Tbl().StoredId(0));
        child->action("aFeljebb")->trigger();  // a into the gap at 2
        QCOMPARE(numbers(child->Tbl()), QList<int>({2, 3, 4}));
        QCOMPARE(names(), QStringList({"a", "d", "b"}));
    }

    // A foreign card whose last number leaves no room below the parking
    // value, or none at all, gets no new layer: a clear message, nothing
    // changed, not even the unsaved mark; the picture dialog does not open.
    void numbersThatCannotGrowRefuseANewLayer()
    {
        for (int last : {9998, 2147483647}) {
            Tfrm_Child* child = openCard({{1, 0, "a"}, {last, 2, "b"}});
            child->document().history().setClean();
            const int errors = fake->count("error");
            for (const char* command : {"aSzoveg", "aKep", "aAlakzat"})
                child->action(command)->trigger();
            QCOMPARE(fake->count("error"), errors + 3);
            QVERIFY(fake->of("error").back().text.contains("9998"));
            QCOMPARE(fake->count("picture"), 0);
            QCOMPARE(numbers(child->Tbl()), QList<int>({1, last}));
            QVERIFY(!child->Modified());
            // Nor does the layer below climb onto the parking value.
            child->document().setCurrent(child->Tbl().StoredId(0));
            child->action("aFeljebb")->trigger();
            QVERIFY(!numbers(child->Tbl()).contains(9999));
        }
        Tfrm_Child* child = openCard({{9997, 0, "a"}});
        child->action("aAlakzat")->trigger();
        QCOMPARE(numbers(child->Tbl()), QList<int>({9997, 9998}));
    }

    // The font dialog opens on the layer's own font and OK with nothing
    // changed leaves every field as it was, also for a face the system
    // draws with another one.
    void fontDialogOkWithoutChangesKeepsTheFields()
    {
        Tfrm_Child* child = openCard({{1, 0, "Anna", 10, 10,
                                       {{"betutipus", std::string("DejaVu Serif")}, {"betumeret", 14},
                                        {"felkover", true}, {"szin", 0x3366CC}}},
                                      {2, 0, "B\xE9la", 10, 40,
                                       {{"betutipus", std::string("Arial")}, {"betumeret", 11},
                                        {"felkover", true}, {"alahuzott", true}}}});
        for (int row : {0, 1}) {
            child->document().setCurrent(child->Tbl().StoredId(row));
            const QString saved = dir.filePath("font-before.bcrd");
            child->SaveCard(saved);
            fake->fontAnswers.clear();
            child->action("aBetutipus")->trigger();
            const Dialogs::FontChoice opened = fake->lastFont;
            QCOMPARE(opened.family, row == 0 ? QString("DejaVu Serif") : QString("Arial"));
            QCOMPARE(opened.points, row == 0 ? 14 : 11);
            QVERIFY(opened.bold && !opened.italic && opened.underline == (row == 1));
            QCOMPARE(opened.color, row == 0 ? QColor(0xCC, 0x66, 0x33) : QColor(Qt::black));
            fake->fontAnswers = {opened};
            child->action("aBetutipus")->trigger();
            child->SaveCard(dir.filePath("font-after.bcrd"));
            QCOMPARE(readBytes(dir.filePath("font-after.bcrd")), readBytes(saved));
        }
    }

    // Commands of another kind than the current layer do nothing at all:
    // no dialog, no record change, no mark flipped, nothing unsaved.
    void commandsOfAnotherKindDoNothing()
    {
        Tfrm_Child* child = openCard({{1, 1, "kep", 0, 0, {{"kep", pictureBlob({8, 8})}, {"keptip", std::string(".png")}}}});
        QVERIFY(qobject_cast<PictureElement*>(child->CurrentElement()));
        child->document().history().setClean();
        QList<bool> marks;
        for (QAction* action : child->actions().actions())
            marks << action->isChecked();
        child->DBEdit1->setFocus();
        for (const char* keys : {"Ctrl+F", "Ctrl+B", "Ctrl+I", "Ctrl+U", "Ctrl+L", "Ctrl+E", "Ctrl+R", "Ctrl+J"})
            QTest::keySequence(child->DBEdit1, QKeySequence(keys));
        for (const char* name : {"aKor", "aES3", "aCS2", "aV4", "aEcsetSzin", "aCeruzaSzin"})
            child->action(name)->trigger();
        QList<bool> after;
        for (QAction* action : child->actions().actions())
            after << action->isChecked();
        QCOMPARE(after, marks);
        QVERIFY(!child->Modified());
        QVERIFY(fake->shown.empty());
        QCOMPARE(ReadBool(child->Tbl(), "felkover"), false);
    }

    // Ctrl+B reaches the command from the text box; after three toggles
    // and another layer picked in between, the mark and the record agree.
    void styleTogglesKeepMarkAndRecordTogether()
    {
        Tfrm_Child* child = openCard({{1, 0, "Anna"}, {2, 0, "Bela", 10, 10, {{"felkover", true}}}});
        auto* anna = qobject_cast<TextElement*>(child->CurrentElement());
        child->DBEdit1->setFocus();
        for (int i = 0; i < 3; ++i)
            QTest::keySequence(child->DBEdit1, QKeySequence("Ctrl+B"));
        QVERIFY(ReadBool(child->Tbl(), "felkover"));
        QVERIFY(child->action("aFelkover")->isChecked());
        QVERIFY(anna->look().font.bold());
        QCOMPARE(child->DBEdit1->text(), QString("Anna"));
        child->document().setCurrent(child->Tbl().StoredId(1));
        QTest::keySequence(child->DBEdit1, QKeySequence("Ctrl+B"));
        QVERIFY(!ReadBool(child->Tbl(), "felkover"));
        child->document().setCurrent(child->Tbl().StoredId(0));
        QVERIFY(child->action("aFelkover")->isChecked());
        QTest::keySequence(child->DBEdit1, QKeySequence("Ctrl+B"));
        QVERIFY(!child->action("aFelkover")->isChecked() && !ReadBool(child->Tbl(), "felkover"));
        QVERIFY(!anna->look().font.bold());
    }

    // "Középre" is stored as 1, not the toolkit's centre; running the
    // checked alignment again keeps it checked.
    void alignmentCodesAreTheCardFilesOwn()
    {
        Tfrm_Child* child = openCard({{1, 0, "Anna"}});
        child->action("aKozepre")->trigger();
        child->action("aKozepre")->trigger();
        QCOMPARE(ReadInt(child->Tbl(), "igazitas"), 1);
        QVERIFY(child->action("aKozepre")->isChecked() && !child->action("aBalra")->isChecked());
        child->RebuildElements();
        QCOMPARE(qobject_cast<TextElement*>(child->findElement("e1"))->look().alignment, TextAlignment::Center);

        // A cancelled colour writes nothing and leaves the card unmodified.
        child->document().history().setClean();
        child->action("aSzin")->trigger();
        QCOMPARE(ReadInt(child->Tbl(), "szin"), 0);
        QVERIFY(!child->Modified());
        fake->colorAnswers = {QColor(255, 0, 0)};
        child->action("aSzin")->trigger();
        QCOMPARE(ReadInt(child->Tbl(), "szin"), 255);

        // The font dialog gives name, size, style and colour; strike-out
        // shows but is kept nowhere.
        Dialogs::FontChoice chosen{"Liberation Serif", 14, false, true, false, true, QColor(0, 0, 255)};
        fake->fontAnswers = {chosen};
        child->action("aBetutipus")->trigger();
        QCOMPARE(text(child->Tbl(), "betutipus"), std::string("Liberation Serif"));
        QCOMPARE(ReadInt(child->Tbl(), "betumeret"), 14);
        QVERIFY(ReadBool(child->Tbl(), "dolt") && child->action("aDolt")->isChecked());
        QCOMPARE(ReadInt(child->Tbl(), "szin"), 0xFF0000);
        QCOMPARE(ReadInt(child->Tbl(), "igazitas"), 1);
        auto* anna = qobject_cast<TextElement*>(child->CurrentElement());
        QVERIFY(anna->look().font.strikeOut());
        QCOMPARE(fake->of("font").back().text, QString("Arial 8 #ff0000"));

        // The strike-out alone is a step of its own: undone and redone
        // with the card's history, and kept through a rebuild.
        chosen.strikeOut = false;
        fake->fontAnswers = {chosen};
        const int steps = child->document().history().count();
        child->action("aBetutipus")->trigger();
        QCOMPARE(child->document().history().count(), steps + 1);
        QVERIFY(!anna->look().font.strikeOut());
        child->document().history().undo();
        QVERIFY(anna->look().font.strikeOut());
        child->RebuildElements();
        QVERIFY(qobject_cast<TextElement*>(child->CurrentElement())->look().font.strikeOut());
        child->document().history().redo();
        QVERIFY(!qobject_cast<TextElement*>(child->CurrentElement())->look().font.strikeOut());
    }

    // The shape's kind travels through a restack and the card file.
    void shapesKeepTheirLookThroughRestackAndFile()
    {
        Tfrm_Child* child = openCard({{1, 2, "alakzat1"}, {2, 2, "alakzat2"}});
        child->action("aKor")->trigger();
        child->action("aCS2")->trigger();
        child->action("aV4")->trigger();
        fake->colorAnswers = {QColor(0, 128, 0), std::nullopt};
        child->action("aEcsetSzin")->trigger();
        child->action("aCeruzaSzin")->trigger();
        child->action("aFeljebb")->trigger();
        auto* shape = qobject_cast<ShapeElement*>(child->CurrentElement());
        QCOMPARE(shape->look().kind, ShapeKind::Ellipse);
        QVERIFY(child->action("aKor")->isChecked() && child->action("aCS2")->isChecked());
        child->SaveCard(dir.filePath("shapes.bcrd"));

        Tfrm_Child* again = newCard();
        again->LoadCard(dir.filePath("shapes.bcrd"));
        again->document().setCurrent(again->Tbl().StoredId(1));
        QCOMPARE(ReadInt(again->Tbl(), "shape"), 1);
        QCOMPARE(ReadInt(again->Tbl(), "penstyle"), 2);
        QCOMPARE(ReadInt(again->Tbl(), "penwidth"), 4);
        QCOMPARE(ReadInt(again->Tbl(), "brushcolor"), 0x008000);
        QCOMPARE(ReadInt(again->Tbl(), "pencolor"), 0);
        const ShapeLook look = qobject_cast<ShapeElement*>(again->CurrentElement())->look();
        QVERIFY(look.kind == ShapeKind::Ellipse && look.outlinePattern == OutlinePattern::DashDot);
    }

    // A new picture takes the old one's box; one that is no picture
    // changes neither the element nor the record.
    void choosingAPictureKeepsTheBox()
    {
        Tfrm_Child* child = openCard({{1, 1, "kep", 0, 0, {{"kep", pictureBlob({8, 8})}, {"keptip", std::string(".png")},
                                                         {"width", 100}, {"height", 50}, {"strech", true}}}});
        auto* picture = qobject_cast<PictureElement*>(child->CurrentElement());
        child->action("aNormal")->trigger();
        QVERIFY(!ReadBool(child->Tbl(), "strech") && !picture->stretch());
        fake->pictureAnswers = {pngFile("small.png", {20, 10})};
        child->action("aKepValaszt")->trigger();
        QCOMPARE(picture->size(), QSize(100, 50));
        QCOMPARE(picture->picture().size(), QSize(20, 10));
        QCOMPARE(ReadInt(child->Tbl(), "width"), 100);
        const std::string bytes = child->Tbl().ReadBlob("kep");

        QFile junk(dir.filePath("junk.bmp"));
        junk.open(QIODevice::WriteOnly);
        junk.write("BMnonsense");
        junk.close();
        fake->pictureAnswers = {junk.fileName()};
        child->document().history().setClean();
        // The first move over the picture after its dialog clears the flag.
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), picture->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(picture, &move);
        QVERIFY(!child->DialogClosed());
        child->action("aKepValaszt")->trigger();
        QCOMPARE(child->Tbl().ReadBlob("kep"), bytes);
        QCOMPARE(picture->picture().size(), QSize(20, 10));
        QVERIFY(!child->Modified() && !child->DialogClosed());
    }
};

REGISTER_TEST(LayerCommandsTest)

#include "LayerCommandsTest.moc"
