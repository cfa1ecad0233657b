#include "document/Child.h"
#include "document/QrDialog.h"

#include "editor/PictureElement.h"
#include "layer/LayerRecord.h"
#include "tests/FakeDialogs.h"
#include "tests/TestRegistry.h"
#include "tests/document/CardWindowTest.h"
#include "tests/merge/QrDecode.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

namespace {

QrContents contact(const QString& family, const QString& given)
{
    QrContents contents;
    contents.contact[Contact::Family] = family;
    contents.contact[Contact::Given] = given;
    contents.contact[Contact::Email] = QStringLiteral("anna@pelda.hu");
    return contents;
}

// What the current layer's picture says, read back from its bytes.
std::optional<QrContents> storedQr(const LayerTable& table)
{
    const std::optional<QrPicture> qr = readQrPicture(table.ReadBlob("kep"), ReadStr(table, "keptip"));
    if (!qr)
        return std::nullopt;
    return contentsFromText(qr->contents);
}

// The element as the surface shows it, four times over so that a phone's
// decoder finds its modules.
QByteArray shownCode(CardElement* element)
{
    const QImage shown = element->grab().toImage();
    QImage larger(shown.size() * 4 + QSize(80, 80), QImage::Format_RGB32);
    larger.fill(Qt::white);
    larger.setDevicePixelRatio(1);
    {
        QPainter painter(&larger);
        painter.drawImage(QRect(QPoint(40, 40), shown.size() * 4), shown);
    }
    return decodeQr(larger);
}

} // namespace

class QrLayerTest : public CardWindowTest
{
    Q_OBJECT

private slots:
    // F5 adds the code on top as a picture layer of its own name and box,
    // its contents inside the PNG; the surface shows the code a phone
    // reads. A cancelled dialog adds nothing.
    void newQrCodeIsAPictureLayer()
    {
        Tfrm_Child* child = newCard();
        child->action("aSzoveg")->trigger();
        child->document().history().setClean();
        QTest::keyClick(static_cast<QWidget*>(child->GroupBox1), Qt::Key_F5);
        QCOMPARE(fake->count("qr"), 1);
        QCOMPARE(child->Tbl().RecordTotal(), 1);
        QVERIFY(!child->Modified());

        const QrContents anna = contact(QStringLiteral("Kovács"), QStringLiteral("Anna"));
        fake->qrAnswers = {anna};
        child->action("aQrKod")->trigger();
        QCOMPARE(fake->lastQr, QrContents());
        QCOMPARE(fake->lastQrBox, 130.0);
        QCOMPARE(child->Tbl().RecordTotal(), 2);
        QCOMPARE(ReadInt(child->Tbl(), "tipus"), 1);
        QCOMPARE(ReadStr(child->Tbl(), "nev"), std::string("QR-k\xF3" "d2"));
        QCOMPARE(ReadInt(child->Tbl(), "width"), 130);
        QCOMPARE(ReadInt(child->Tbl(), "height"), 130);
        QCOMPARE(ReadStr(child->Tbl(), "keptip"), std::string(".png"));
        QCOMPARE(storedQr(child->Tbl()), anna);
        auto* element = qobject_cast<PictureElement*>(child->CurrentElement());
        QVERIFY(element && element->item().qr);
        QCOMPARE(shownCode(element), qrPayload(anna));
        QCOMPARE(child->document().history().undoText(), QStringLiteral("Új QR-kód"));

        // Saved and opened again, it is a code again.
        const QString path = dir.filePath("qr.bcrd");
        child->SaveCard(path);
        Tfrm_Child* again = newCard();
        again->LoadCard(path);
        again->document().setCurrent(again->Tbl().StoredId(again->Tbl().StoredCount() - 1));
        QCOMPARE(storedQr(again->Tbl()), anna);
        QVERIFY(again->elementOf(again->Tbl().CurrentId())->item().qr);
    }

    // A double-click opens the code's own contents at its box; OK with a
    // change is one step that undo takes back, OK without one is none.
    // "Kép választ" makes it a plain picture, which a double-click then
    // treats as one.
    void doubleClickEditsTheCode()
    {
        Tfrm_Child* child = newCard();
        const QrContents anna = contact(QStringLiteral("Kovács"), QStringLiteral("Anna"));
        fake->qrAnswers = {anna};
        child->action("aQrKod")->trigger();
        CardElement* element = child->CurrentElement();
        element->resize(150, 90);
        child->document().change(child->Tbl().CurrentId(), {{"width", 150}, {"height", 90}}, "méret");
        const std::string before = child->Tbl().ReadBlob("kep");

        QrContents bela = contact(QStringLiteral("Nagy"), QStringLiteral("Béla"));
        bela.level = 'H';
        fake->qrAnswers = {bela};
        const int steps = child->document().history().count();
        QTest::mouseDClick(element, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(fake->lastQr, anna);
        QCOMPARE(fake->lastQrBox, 90.0);
        QCOMPARE(storedQr(child->Tbl()), bela);
        QCOMPARE(child->document().history().count(), steps + 1);
        QCOMPARE(shownCode(element), qrPayload(bela));
        child->document().history().undo();
        QCOMPARE(child->Tbl().ReadBlob("kep"), before);
        QCOMPARE(shownCode(child->CurrentElement()), qrPayload(anna));

        fake->qrAnswers = {anna};
        child->action("aQrSzerkeszt")->trigger();
        QCOMPARE(child->document().history().count(), steps + 1);  // no change, no step
        QCOMPARE(child->Tbl().ReadBlob("kep"), before);

        QFile photo(dir.filePath("photo.png"));
        QVERIFY(photo.open(QIODevice::WriteOnly));
        photo.write(pngBytes({40, 30}, Qt::blue));
        photo.close();
        fake->pictureAnswers = {photo.fileName()};
        child->action("aKepValaszt")->trigger();
        QVERIFY(!storedQr(child->Tbl()));
        QVERIFY(!child->CurrentElement()->item().qr);
        QTest::mouseDClick(child->CurrentElement(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(fake->count("picture"), 2);
        QCOMPARE(fake->count("qr"), 3);
    }

    // The dialog: a live code for what is typed, the printed module in
    // Hungarian millimetres and a warning below 0.4 mm, the reason where
    // no code can be made, and only the page shown in what it gives.
    void dialogShowsTheCodeAsTyped()
    {
        QrContents start = contact(QStringLiteral("Kovács"), QStringLiteral("Anna"));
        start.text = QStringLiteral("left over");
        QrDialog dialog(nullptr, start, 110);
        QCOMPARE(dialog.field(Contact::Family)->text(), QStringLiteral("Kovács"));
        QCOMPARE(dialog.level()->currentIndex(), 1);
        QVERIFY(dialog.shownCode());
        const int size = dialog.shownCode()->size;
        QVERIFY(dialog.moduleLabel()->text().contains(QRegularExpression("\\d,\\d\\d mm")));
        QVERIFY(dialog.warning()->text().isEmpty());
        QVERIFY(dialog.okButton()->isEnabled());
        QCOMPARE(dialog.contents().text, QString());

        dialog.field(Contact::Street)->setText(QString(200, u'ő'));
        QVERIFY(dialog.shownCode()->size > size);
        QVERIFY(dialog.warning()->text().contains(QStringLiteral("0,4 mm")));

        for (QLineEdit* field : {dialog.field(Contact::Family), dialog.field(Contact::Given),
                                 dialog.field(Contact::Email), dialog.field(Contact::Street)})
            field->clear();
        QVERIFY(!dialog.shownCode());
        QVERIFY(!dialog.okButton()->isEnabled());
        QVERIFY(!dialog.warning()->text().isEmpty());

        dialog.pages()->setCurrentIndex(1);
        dialog.textEdit()->setPlainText(QStringLiteral("https://lapora.example.org"));
        dialog.level()->setCurrentIndex(3);
        QVERIFY(dialog.okButton()->isEnabled());
        QrContents expected;
        expected.isContact = false;
        expected.text = QStringLiteral("https://lapora.example.org");
        expected.level = 'H';
        QCOMPARE(dialog.contents(), expected);
        dialog.textEdit()->setPlainText(QString(3000, u'x'));
        QVERIFY(!dialog.okButton()->isEnabled());
    }

    // A code resized until its modules print under 0.4 mm is marked on the
    // card, and the status bar hears the dialog's warning while it is the
    // current layer; undo takes both away. A text moved partly off the card
    // is marked too.
    void layersThatWillNotPrintWellAreMarked()
    {
        Tfrm_Child* child = newCard();
        QStringList heard;
        child->StatusWarning = [&](const QString& warning) { heard << warning; };
        fake->qrAnswers = {contact(QStringLiteral("Kovács"), QStringLiteral("Anna"))};
        child->action("aQrKod")->trigger();
        CardElement* code = child->CurrentElement();
        QCOMPARE(code->mark(), QString());

        const LayerTable::RecordId id = child->Tbl().CurrentId();
        child->document().change(id, {{"width", 40}, {"height", 40}}, "méret");
        QCOMPARE(code->mark(), smallModuleWarning());
        QCOMPARE(code->toolTip(), smallModuleWarning());
        QCOMPARE(heard.last(), smallModuleWarning());
        QCOMPARE(child->currentWarning(), smallModuleWarning());
        child->document().history().undo();
        QCOMPARE(code->mark(), QString());
        QCOMPARE(heard.last(), QString());

        child->action("aSzoveg")->trigger();
        CardElement* text = child->CurrentElement();
        QCOMPARE(text->mark(), QString());
        const LayerTable::RecordId textId = child->Tbl().CurrentId();
        child->document().change(textId, {{"left", 320}}, "hely");
        QVERIFY(text->mark().contains(QStringLiteral("kilóg")));
        QCOMPARE(heard.last(), text->mark());
        child->document().change(textId, {{"left", 10}}, "hely");
        QCOMPARE(text->mark(), QString());
        // Moved with others as a group, it is marked the same way.
        child->document().changeLayers({{textId, {{"left", 330}}}, {id, {{"left", 100}}}}, "csoport");
        QVERIFY(text->mark().contains(QStringLiteral("kilóg")));
        child->document().history().undo();
        QCOMPARE(text->mark(), QString());

        // Going from layer to layer, the status bar follows the current one.
        child->document().change(id, {{"width", 40}, {"height", 40}}, "méret");
        child->document().setCurrent(id);
        QCOMPARE(heard.last(), smallModuleWarning());
        child->document().setCurrent(textId);
        QCOMPARE(heard.last(), QString());
    }
};

REGISTER_TEST(QrLayerTest)

#include "QrLayerTest.moc"
