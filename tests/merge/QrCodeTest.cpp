#include "layer/LayerItem.h"
#include "layer/LayerRecord.h"
#include "layer/PictureDecoder.h"
#include "merge/QrCode.h"
#include "tests/TestRegistry.h"
#include "tests/merge/QrDecode.h"

#include <QBuffer>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

Contact anna()
{
    Contact contact;
    contact[Contact::Family] = QStringLiteral("Kovács");
    contact[Contact::Given] = QStringLiteral("Anna Zsófia");
    contact[Contact::Org] = QStringLiteral("Példa, Kft.; Iroda");
    contact[Contact::Title] = QStringLiteral("ügyvezető\\igazgató");
    contact[Contact::Tel] = QStringLiteral("+36 1 234 5678");
    contact[Contact::Mobile] = QStringLiteral("+36 30 123 4567");
    contact[Contact::Email] = QStringLiteral("anna@pelda.hu");
    contact[Contact::Street] = QStringLiteral("Fő utca 1.\nII. em.");
    contact[Contact::City] = QStringLiteral("Győr");
    contact[Contact::Zip] = QStringLiteral("9021");
    return contact;
}

// A layer table on one QR picture layer in a square box of that many
// card pixels.
LayerTable qrLayer(const QrContents& contents, int side)
{
    LayerTable Tbl = makeLayerTable();
    Tbl.OpenTable();
    Tbl.AddNewRecord();
    Tbl.WriteField("tipus", 1);
    Tbl.WriteField("kep", Blob(qrPng(contents)));
    Tbl.WriteField("keptip", std::string(".png"));
    Tbl.WriteField("left", 0);
    Tbl.WriteField("top", 0);
    Tbl.WriteField("width", side);
    Tbl.WriteField("height", side);
    Tbl.WriteField("strech", true);
    Tbl.PostRecord();
    return Tbl;
}

// The layer drawn at a resolution, in card pixels scaled.
QImage drawn(const LayerItem& item, double dotsPerPixel, QSize cardPixels)
{
    QImage image((QSizeF(cardPixels) * dotsPerPixel).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(dotsPerPixel, dotsPerPixel);
    paintLayer(painter, item, item.box);
    return image;
}

} // namespace

class QrCodeTest : public QObject
{
    Q_OBJECT

private slots:
    // The contact as a phone reads it: family name first in N, Hungarian
    // order in FN, the escapes, and nothing for empty fields.
    void vCardForTrickyValues()
    {
        QCOMPARE(vCardText(anna()),
                 QString::fromUtf8("BEGIN:VCARD\r\nVERSION:3.0\r\n"
                                   "N:Kovács;Anna Zsófia;;;\r\nFN:Kovács Anna Zsófia\r\n"
                                   "ORG:Példa\\, Kft.\\; Iroda\r\nTITLE:ügyvezető\\\\igazgató\r\n"
                                   "TEL;TYPE=WORK,VOICE:+36 1 234 5678\r\nTEL;TYPE=CELL:+36 30 123 4567\r\n"
                                   "EMAIL:anna@pelda.hu\r\n"
                                   "ADR:;;Fő utca 1.\\nII. em.;Győr;;9021;\r\nEND:VCARD\r\n"));
        Contact firm;
        firm[Contact::Org] = QStringLiteral("Lapora");
        firm[Contact::Url] = QStringLiteral("https://lapora.example.org");
        QCOMPARE(vCardText(firm), QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nN:;;;;\r\nFN:Lapora\r\nORG:Lapora\r\n"
                                                 "URL:https://lapora.example.org\r\nEND:VCARD\r\n"));
    }

    // Drawn at 600 dpi at the smallest module the dialog does not warn of
    // (0.4 mm), the code reads back as the exact vCard; every module is a
    // sharp square on the exact grid, the quiet zone inside the box, the
    // code square and centred in a box that is not.
    void renderedCodeReadsBackExactly()
    {
        QrContents contents;
        contents.contact = anna();
        const QrMatrix modules = encodeQr(qrPayload(contents), 'M');
        const int side = int(std::ceil(0.4 * (modules.size + 8) * 96 / 25.4));
        QVERIFY(moduleMillimetres(modules, side) >= MinimumModuleMm);
        LayerTable Tbl = qrLayer(contents, side);
        Tbl.EditRecord();
        Tbl.WriteField("width", side + 30);  // wider than high: centred
        Tbl.PostRecord();
        const LayerItem item = *readLayerItem(Tbl, PictureScale::Paper);
        QVERIFY(item.qr);
        const double dotsPerPixel = 600.0 / 96;
        const QImage image = drawn(item, dotsPerPixel, QSize(side + 30, side));
        QCOMPARE(decodeQr(image), qrPayload(contents));

        // The grid: module (x, y) spans these dots exactly, to one dot.
        const double cell = side * dotsPerPixel / (modules.size + 8);
        const double left = 15 * dotsPerPixel + 4 * cell;
        const double top = 4 * cell;
        for (int y = 0; y < modules.size; ++y) {
            for (int x = 0; x < modules.size; ++x) {
                const int x0 = int(std::ceil(left + x * cell)) + 1, x1 = int(std::floor(left + (x + 1) * cell)) - 2;
                const int y0 = int(std::ceil(top + y * cell)) + 1, y1 = int(std::floor(top + (y + 1) * cell)) - 2;
                const QRgb expected = modules.at(x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
                for (int py = y0; py <= y1; ++py)
                    for (int px = x0; px <= x1; ++px)
                        QVERIFY2(image.pixel(px, py) == expected, qPrintable(QString("module %1,%2").arg(x).arg(y)));
            }
        }
        // The quiet zone and the box's margins are white.
        for (int px = 0; px < int(left) - 1; ++px)
            QCOMPARE(image.pixel(px, image.height() / 2), qRgb(255, 255, 255));
    }

    // A reader that knows nothing of QR codes shows the picture, and that
    // picture reads back too; the contents ride along in the PNG.
    void thePictureIsAnOrdinaryPng()
    {
        QrContents contents;
        contents.isContact = false;
        contents.text = QStringLiteral("https://lapora.example.org/?név=Anna");
        contents.level = 'H';
        const std::string png = qrPng(contents);
        const QImage picture = decodePicture(png, ".png");
        QVERIFY(!picture.isNull());
        QCOMPARE(decodeQr(picture), contents.text.toUtf8());
        const std::optional<QrPicture> read = readQrPicture(png, ".PNG");
        QVERIFY(read);
        QCOMPARE(contentsFromText(read->contents), contents);
        QCOMPARE(contentsJson(contents).value("ecc").toString(), QString("H"));
        // A plain PNG is no QR code, nor is the code's PNG named .jpg.
        QImage copy(picture.size(), QImage::Format_RGB32);
        QPainter(&copy).drawImage(0, 0, picture);
        QByteArray plain;
        QBuffer buffer(&plain);
        buffer.open(QIODevice::WriteOnly);
        copy.save(&buffer, "PNG");
        QVERIFY(!readQrPicture(plain.toStdString(), ".png"));
        QVERIFY(!readQrPicture(png, ".jpg"));
    }

    // Both common readers show Hungarian names as written: the code says its
    // bytes are UTF-8 instead of leaving the reader to guess. zbar reads
    // the PNG a card keeps, as a user's scanner program would.
    void hungarianContactsReadRightWithBothReaders()
    {
        const QStringList names[] = {{"Kovács", "Zsófia"}, {"Szabó", "Lőrinc"}, {"Tűzkő", "Ödön"},
                                      {"Árvíztűrő", "Éva Ágnes"}, {"Üveges", "Ilona Őrsi"}};
        QTemporaryDir dir;
        for (const QStringList& name : names) {
            QrContents contents;
            contents.contact[Contact::Family] = name[0];
            contents.contact[Contact::Given] = name[1];
            contents.contact[Contact::Org] = QStringLiteral("Gyümölcsös Kft.");
            const QString vcard = QString::fromUtf8(qrPayload(contents));
            QVERIFY(vcard.contains("FN:" + name.join(u' ')));
            const std::string png = qrPng(contents);
            QCOMPARE(decodeQrText(decodePicture(png, ".png")), vcard);

            const QString file = dir.filePath("kod.png");
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(png.data(), qint64(png.size())) == qint64(png.size()));
            out.close();
            QProcess zbar;
            zbar.start(QStringLiteral("zbarimg"), {"--raw", "-q", file});
            QVERIFY2(zbar.waitForStarted(), "zbarimg is missing: scripts/install-deps.sh installs zbar-tools");
            QVERIFY(zbar.waitForFinished());
            QCOMPARE(zbar.exitCode(), 0);
            QCOMPARE(QString::fromUtf8(zbar.readAllStandardOutput()), vcard + u'\n');
        }
    }

    // The UTF-8 marker takes room in the code: at level L the largest code
    // holds one byte fewer than it would without it, and what does not fit
    // is refused rather than cut.
    void theMarkerCountsInTheCapacity()
    {
        QCOMPARE(encodeQr(QByteArray(2952, 'x'), 'L').size, 177);
        QVERIFY_THROWS_EXCEPTION(QrError, encodeQr(QByteArray(2953, 'x'), 'L'));
    }

    void contentsThatCannotBeMadeAreRefused()
    {
        QVERIFY_THROWS_EXCEPTION(QrError, encodeQr(QByteArray(), 'M'));
        QVERIFY_THROWS_EXCEPTION(QrError, encodeQr(QByteArray(4000, 'x'), 'H'));
        QVERIFY_THROWS_EXCEPTION(QrError, contentsFromText(R"({"vcard": {"nickname": "x"}})"));
        QVERIFY_THROWS_EXCEPTION(QrError, contentsFromText(R"({"text": "x", "ecc": "Z"})"));
        QVERIFY_THROWS_EXCEPTION(QrError, contentsFromText("[1]"));
    }
};

REGISTER_TEST(QrCodeTest)

#include "QrCodeTest.moc"
