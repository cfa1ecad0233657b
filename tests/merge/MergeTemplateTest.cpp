#include "merge/MergeTemplate.h"
#include "merge/QrCode.h"
#include "tests/TestRegistry.h"
#include "tests/merge/MergeLayers.h"
#include "tests/merge/QrDecode.h"

#include <QPainter>
#include <QTest>

namespace {

QByteArray readBack(const LayerItem& item)
{
    QImage image(QSize(340, 190) * 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(4, 4);
    paintLayer(painter, item, item.box);
    painter.end();
    return decodeQr(image);
}

} // namespace

class MergeTemplateTest : public QObject
{
    Q_OBJECT

private slots:
    void placeholdersFound()
    {
        QCOMPARE(placeholdersIn(QStringLiteral("{Név} – {cég}, {} {nyitott {Zárt}\n{két\nsor}")),
                 QStringList({"Név", "cég", "Zárt"}));
        QrContents contents;
        contents.contact[Contact::Family] = QStringLiteral("{Vezetéknév}");
        contents.contact[Contact::Email] = QStringLiteral("{email}");
        const MergeTemplate card({textLayer(QStringLiteral("{Név}")), textLayer(QStringLiteral("{NÉV}, {Email}")),
                                  qrLayer(contents)});
        QCOMPARE(card.placeholders(), QStringList({"Név", "Email", "Vezetéknév"}));
    }

    // A person's card: column headers matched whatever their case, values
    // in full however long, boxes sized to the filled text; a name no
    // column has stays as typed and is reported; the template itself is
    // untouched.
    void textLayersFilled()
    {
        const Columns columns({"Név", "Beosztás", "Név"});
        const QString longTitle = QStringLiteral("Nemzetközi kapcsolatokért és fenntartható fejlődésért felelős igazgató");
        const MergeTemplate card({textLayer(QStringLiteral("{név}")),
                                  textLayer(QStringLiteral("{Beosztás} ({Részleg})")), textLayer(QStringLiteral("x"))});
        QSet<QString> unknown;
        const std::vector<LayerItem> filled = card.filled(columns, {"Ő Ödön", longTitle}, &unknown);
        QCOMPARE(filled[0].text.text, QStringLiteral("Ő Ödön"));
        QCOMPARE(filled[1].text.text, longTitle + QStringLiteral(" ({Részleg})"));
        QVERIFY(longTitle.size() > 50);
        QCOMPARE(filled[1].box.size(), textExtent(filled[1].text));
        QVERIFY(filled[1].box.width() > card.layers()[1].box.width());
        QCOMPARE(filled[1].box.topLeft(), card.layers()[1].box.topLeft());
        QCOMPARE(unknown, QSet<QString>({"Részleg"}));
        QCOMPARE(card.layers()[0].text.text, QStringLiteral("{név}"));
        // A short row: the missing value is empty.
        QCOMPARE(card.filled(columns, {})[0].text.text, QString());
    }

    // Each person's QR code carries that person's own contact, and the
    // code grows when the contact needs more modules.
    void qrCodesFilled()
    {
        QrContents contents;
        contents.contact[Contact::Family] = QStringLiteral("{Vezetéknév}");
        contents.contact[Contact::Given] = QStringLiteral("{Keresztnév}");
        contents.contact[Contact::Org] = QStringLiteral("Tűzép Kft.");
        contents.contact[Contact::Email] = QStringLiteral("{Email}");
        contents.contact[Contact::Street] = QStringLiteral("{Utca}");
        contents.level = 'Q';
        const MergeTemplate card({qrLayer(contents)});
        const Columns columns({"vezetéknév", "KERESZTNÉV", "email", "utca"});
        const QStringList person = {"Kovács", "Anna", "anna@tuzep.hu", "Fő utca 1., 2. em. 3."};
        const std::vector<LayerItem> filled = card.filled(columns, person);
        QrContents expected = contents;
        expected.contact[Contact::Family] = "Kovács";
        expected.contact[Contact::Given] = "Anna";
        expected.contact[Contact::Email] = "anna@tuzep.hu";
        expected.contact[Contact::Street] = "Fő utca 1., 2. em. 3.";
        QCOMPARE(contentsFromText(filled[0].qr->contents), expected);
        QCOMPARE(readBack(filled[0]), qrPayload(expected));
        QCOMPARE(readBack(card.layers()[0]), qrPayload(contents));

        const QStringList longer = {"Kovács", "Anna", "anna.kovacs.hosszu.cim@tuzep-es-fatelep.hu",
                                    "Árpád fejedelem útja 125., B épület, 4. emelet 12."};
        const std::vector<LayerItem> grown = card.filled(columns, longer);
        QVERIFY(grown[0].qr->modules->size > filled[0].qr->modules->size);
        QVERIFY(readBack(grown[0]).contains("fejedelem"));
    }
};

REGISTER_TEST(MergeTemplateTest)

#include "MergeTemplateTest.moc"
