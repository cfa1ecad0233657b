#include "document/Child.h"

#include "layer/LayerRecord.h"
#include "editor/CardSurface.h"
#include "editor/FieldEditors.h"
#include "editor/LayerGrid.h"
#include "editor/PictureElement.h"
#include "editor/ResizeHandle.h"
#include "editor/ShapeElement.h"
#include "editor/TextElement.h"
#include "tests/FakeDialogs.h"
#include "tests/Failure.h"
#include "tests/TestRegistry.h"
#include "tests/document/CardWindowTest.h"

#include <QFileInfo>
#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class ChildTest : public CardWindowTest
{
    Q_OBJECT

    std::vector<Layer> threeKinds()
    {
        return {{1, 0, "Anna", 5, 6, {{"felkover", true}, {"igazitas", 2}}},
                {2, 1, "kep2", 20, 30, {{"kep", pictureBlob({40, 30})}, {"keptip", std::string(".png")},
                                        {"width", 40}, {"height", 30}, {"strech", true}}},
                {3, 2, "alakzat3", 50, 60, {{"brushstyle", 3}, {"penstyle", 2}, {"penwidth", 4}}}};
    }

private slots:
    void newCardIsOpenEmptyAndClosesWithoutAsking()
    {
        auto* child = new Tfrm_Child({QFont("Arial", 8), 9}, area);
        area->addSubWindow(child);
        child->show();
        child->RebuildElements();

        QVERIFY(child->Tbl().IsOpen());
        QCOMPARE(child->Tbl().RecordTotal(), 0);
        QVERIFY(!child->PageControl1->isTabVisible(0) && !child->PageControl1->isTabVisible(2));
        QVERIFY(!child->Modified());
        QVERIFY(child->close());
        QCOMPARE(fake->count("question"), 0);
    }

    void loadBuildsElementsInStackingOrder()
    {
        Tfrm_Child* child = openCard(threeKinds());

        auto* text = qobject_cast<TextElement*>(child->findElement("E1"));
        auto* picture = qobject_cast<PictureElement*>(child->findElement("e2"));
        auto* shape = qobject_cast<ShapeElement*>(child->findElement("e3"));
        QVERIFY(text && picture && shape);
        QCOMPARE(text->pos(), child->Surface1->margin() + QPoint(5, 6));
        QCOMPARE(picture->geometry(), QRect(child->Surface1->margin() + QPoint(20, 30), QSize(40, 30)));
        QCOMPARE(shape->tag(), 3);
        QCOMPARE(picture->picture().size(), QSize(40, 30));
        const QObjectList order = child->Surface1->children();
        QVERIFY(order.indexOf(text) < order.indexOf(picture) && order.indexOf(picture) < order.indexOf(shape));

        // The first layer is current after opening, with its panel.
        QCOMPARE(child->CurrentElement(), text);
        QVERIFY(child->PageControl1->isTabVisible(0) && !child->PageControl1->isTabVisible(1));
        QCOMPARE(child->DBEdit1->text(), QString("Anna"));
        QVERIFY(child->action("aFelkover")->isChecked());
        QVERIFY(child->action("aJobbra")->isChecked());
        QVERIFY(!child->Modified());
        QCOMPARE(child->windowTitle(), dir.filePath("card.bcrd"));
    }

    void selectionFollowsEveryKind()
    {
        Tfrm_Child* child = openCard(threeKinds());

        child->document().setCurrent(child->Tbl().StoredId(2));
        QVERIFY(!child->PageControl1->isTabVisible(0) && child->PageControl1->isTabVisible(2));
        for (const char* name : {"aES3", "aCS2", "aV4", "aTeglalap"})
            QVERIFY2(child->action(name)->isChecked(), name);
        for (const char* name : {"aES0", "aCS0", "aV1", "aKor"})
            QVERIFY2(!child->action(name)->isChecked(), name);
        QVERIFY(child->Shape1->isVisibleTo(child) && child->Shape4->isVisibleTo(child));
        QCOMPARE(child->Shape4->geometry().bottomRight(), child->CurrentElement()->geometry().bottomRight());

        child->action("aNormal")->setChecked(true);
        child->document().setCurrent(child->Tbl().StoredId(0));
        QVERIFY(!child->Shape1->isVisibleTo(child));
        QVERIFY(child->action("aNormal")->isChecked());  // not a text layer's mark

        child->document().setCurrent(child->Tbl().StoredId(1));
        QVERIFY(child->action("aNyujtas")->isChecked());
        QCOMPARE(child->Shape1->pos(), child->CurrentElement()->pos());
    }

    void unknownAlignmentLeavesTheMarks()
    {
        Tfrm_Child* child = openCard({{1, 0, "a", 0, 0, {{"igazitas", 1}}}, {2, 0, "b", 0, 0, {{"igazitas", 5}}}});
        QVERIFY(child->action("aKozepre")->isChecked());
        child->document().setCurrent(child->Tbl().StoredId(1));
        QVERIFY(child->action("aKozepre")->isChecked());
    }

    void textPanelEditsTheElementLive()
    {
        Tfrm_Child* child = openCard({{1, 0, "Anna"}, {2, 0, "Bela"}});
        auto* anna = qobject_cast<TextElement*>(child->findElement("e1"));
        auto* bela = qobject_cast<TextElement*>(child->findElement("e2"));

        child->DBEdit1->setFocus();
        child->DBEdit1->selectAll();
        QTest::keyClicks(child->DBEdit1, "Zoe");
        QCOMPARE(anna->look().text, QString("Zoe"));
        QVERIFY(child->Modified());
        // Record first: each keystroke is in the record at once, and all of
        // them are one step.
        QCOMPARE(ReadStr(child->Tbl(), "nev"), std::string("Zoe"));
        QCOMPARE(child->Tbl().State(), TableState::Browse);
        QCOMPARE(child->document().history().count(), 1);

        // The text stays with its layer, never reaching the next one.
        child->document().setCurrent(child->Tbl().StoredId(1));
        QCOMPARE(bela->look().text, QString("Bela"));
        QCOMPARE(child->DBEdit1->text(), QString("Bela"));
        child->document().setCurrent(child->Tbl().StoredId(0));
        QCOMPARE(ReadStr(child->Tbl(), "nev"), std::string("Zoe"));
    }

    void sizeBoxAppliesEachKeystroke()
    {
        Tfrm_Child* child = openCard({{1, 0, "Anna"}});
        auto* anna = qobject_cast<TextElement*>(child->CurrentElement());
        child->DBComboBox2->setFocus();
        child->DBComboBox2->lineEdit()->selectAll();
        QTest::keyClick(child->DBComboBox2->lineEdit(), Qt::Key_1);
        QCOMPARE(anna->look().points, 1);
        QTest::keyClick(child->DBComboBox2->lineEdit(), Qt::Key_4);
        QCOMPARE(anna->look().points, 14);
        QVERIFY(child->Modified());
        QTest::keyClick(child->DBComboBox2->lineEdit(), Qt::Key_Backspace);
        QTest::keyClick(child->DBComboBox2->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(fake->of("error").back().text, QString("'' is not a valid integer value."));
        QCOMPARE(ReadInt(child->Tbl(), "betumeret"), 1);
    }

    // A size that is no number is refused as it is typed, in the one error
    // box; the record keeps its size and the card goes on as before.
    void refusedSizeHoldsNothingUp()
    {
        Tfrm_Child* child = openCard({{1, 0, "Anna"}, {2, 2, "alakzat", 50, 60}});
        child->DBComboBox2->setFocus();
        child->DBComboBox2->lineEdit()->selectAll();
        QTest::keyClick(child->DBComboBox2->lineEdit(), Qt::Key_X);
        QTest::mousePress(child->findElement("e2"), Qt::LeftButton, {}, QPoint(5, 5));

        const auto errors = fake->of("error");
        QCOMPARE(errors.size(), size_t(1));
        QCOMPARE(errors[0].title, QString("Lapora2"));
        QCOMPARE(errors[0].text, QString("'x' is not a valid integer value."));
        QCOMPARE(child->CurrentElement(), child->findElement("e2"));
        child->document().setCurrent(child->Tbl().StoredId(0));
        QCOMPARE(ReadInt(child->Tbl(), "betumeret"), 8);
    }

    void closeQuestionKeepsUnsavedWork()
    {
        Tfrm_Child* child = openCard({{1, 0, "Anna"}});
        child->document().history().push(new QUndoCommand(QStringLiteral("Változás")));
        int saves = 0;
        bool saveWorks = false;
        child->SaveRequested = [&](Tfrm_Child&) {
            ++saves;
            return saveWorks;
        };

        fake->questionAnswers = {Dialogs::Answer::Cancel, Dialogs::Answer::Yes};
        QVERIFY(!child->close());
        QVERIFY(!child->close());  // Yes, but the save did not happen
        QCOMPARE(saves, 1);
        QVERIFY(child->Modified());
        const auto questions = fake->of("question");
        QCOMPARE(questions.size(), size_t(2));
        QCOMPARE(questions[0].title, QString("Kérdés"));
        QCOMPARE(questions[0].text, QString("A lapora még nincs mentve. Elmentsem?\n")
                                        + QFileInfo(child->FileName()).fileName());

        saveWorks = true;
        fake->questionAnswers = {Dialogs::Answer::Yes};
        QVERIFY(child->close());
    }

    void saveChangesTheTitleOnlyWhenWritten()
    {
        Tfrm_Child* child = openCard({{1, 0, "Anna"}});
        const QString original = child->FileName();
        child->document().history().push(new QUndoCommand(QStringLiteral("Változás")));
        QCOMPARE(failureOf([&] { child->SaveCard(dir.filePath("missing/x.bcrd")); }),
                 "Cannot create file \"" + dir.filePath("missing/x.bcrd").toStdString() +
                     "\". No such file or directory");
        QCOMPARE(child->FileName(), original);
        QCOMPARE(child->windowTitle(), original);
        QVERIFY(child->Modified());

        child->SaveCard(dir.filePath("other.bcrd"));
        QCOMPARE(child->windowTitle(), dir.filePath("other.bcrd"));
        QVERIFY(!child->Modified());
        // The selection follows the current layer after a save as before.
        QCOMPARE(child->CurrentElement(), child->findElement("e1"));
        QVERIFY(child->PageControl1->isTabVisible(0));
    }

    // A card whose pictures cannot be shown still opens: each stands as a
    // placeholder, one error box names every such layer on a line of its
    // own, and the bytes go back to the file as they were.
    void brokenPicturesStandAsPlaceholdersAndTheCardStaysOpen()
    {
        auto* child = new Tfrm_Child({QFont("Arial", 8), 9}, area);
        area->addSubWindow(child);
        child->show();
        const QString path = writeCard(
            dir.filePath("broken.bcrd"),
            {{1, 1, "fot\xF3", 0, 0, {{"kep", Blob{"not a picture"}}, {"keptip", std::string(".png")}}},
             {2, 1, "", 0, 0, {{"kep", Blob{"x"}}, {"keptip", std::string(".xyz")}}}, {3, 2, "alakzat"}});
        child->LoadCard(path);

        const auto errors = fake->of("error");
        QCOMPARE(errors.size(), size_t(1));
        QCOMPARE(errors[0].text, QString("fotó: The .png picture cannot be read: its data is damaged or is not a .png "
                                         "picture.\n#2: Unknown picture file extension (.xyz)"));
        for (const char* name : {"e1", "e2"}) {
            auto* picture = qobject_cast<PictureElement*>(child->findElement(name));
            QVERIFY(picture && picture->isPlaceholder());
        }
        QVERIFY(child->findElement("e3") && !child->findElement("e3")->isPlaceholder());
        QVERIFY(!child->Updating());
        child->document().setCurrent(child->Tbl().StoredId(2));
        QCOMPARE(child->CurrentElement(), child->findElement("e3"));

        // A restack builds them again without naming them again.
        child->document().setCurrent(child->Tbl().StoredId(0));
        child->action("aFeljebb")->trigger();
        QCOMPARE(fake->count("error"), 1);

        child->SaveCard(dir.filePath("saved.bcrd"));
        LayerTable back = makeLayerTable();
        back.LoadFile(dir.filePath("saved.bcrd").toStdString());
        back.LocateRecord("keptip", std::string(".png"));
        QCOMPARE(back.ReadBlob("kep"), std::string("not a picture"));
    }

    // Opening a photo by mistake must not make a card that a Save would
    // write over the photo.
    void fileThatIsNoCardIsRefused()
    {
        auto* child = new Tfrm_Child({QFont("Arial", 8), 9}, area);
        area->addSubWindow(child);
        QFile photo(dir.filePath("photo.bcrd"));
        photo.open(QIODevice::WriteOnly);
        photo.write(pngBytes({4, 4}, Qt::blue));
        photo.close();
        QCOMPARE(failureOf([&] { child->LoadCard(photo.fileName()); }),
                 "A(z) \u201E" + photo.fileName().toStdString() + "\u201D fájl nem Lapora kártyafájl.");
        QCOMPARE(child->Tbl().StoredCount(), 0);

        // A FIFO is refused at once: opening it must not wait for a writer.
        const QString fifo = dir.filePath("fifo.bcrd");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0644) == 0);
        QCOMPARE(failureOf([&] { child->LoadCard(fifo); }),
                 "Cannot open file \"" + fifo.toStdString() + "\". Not a regular file");

        QFile empty(dir.filePath("empty.bcrd"));
        empty.open(QIODevice::WriteOnly);
        empty.close();
        child->LoadCard(empty.fileName());
        QVERIFY(child->Tbl().IsOpen());
    }

    void olderCardWithoutTheLastFieldsSelectsShapes()
    {
        Tfrm_Child* child = new Tfrm_Child({QFont("Arial", 8), 9}, area);
        area->addSubWindow(child);
        child->show();
        QString path = writeCard(dir.filePath("old.bcrd"), {{1, 2, "alakzat"}});
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        QByteArray bytes = file.readAll();
        file.close();
        for (const char* field : {"\"penwidth=", "\"strech="}) {
            int at = bytes.indexOf(field);
            bytes.remove(at, bytes.indexOf("\r\n", at) + 2 - at);
        }
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        file.close();

        child->LoadCard(path);
        QVERIFY(qobject_cast<ShapeElement*>(child->CurrentElement()));
        QCOMPARE(qobject_cast<ShapeElement*>(child->CurrentElement())->look().outlineWidth, 1);
    }
};

REGISTER_TEST(ChildTest)
#include "ChildTest.moc"
