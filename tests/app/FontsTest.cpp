#include "tests/TestRegistry.h"
#include "layer/Fonts.h"

#include <QFontInfo>
#include <QTest>

// Cards name their faces; a face that silently falls back to another, or
// that cannot take every size, prints a different card.
class BundledFonts : public QObject
{
    Q_OBJECT

private slots:
    void cardFacesResolveAndScale()
    {
        QVERIFY2(registerBundledFonts().isEmpty(), "a font file did not load");
        const QList<std::pair<QString, QString>> faces = {{"Tahoma", "Tahoma"},
                                                           {"Wingdings", "Wingdings"},
                                                           {"MS Sans Serif", "Liberation Sans"},
                                                           {"Arial", "Liberation Sans"},
                                                           {"Courier New", "Liberation Mono"}};
        for (const auto& [asked, given] : faces) {
            QFont font(asked);
            font.setPixelSize(67);
            const QFontInfo info(font);
            QCOMPARE(info.family(), given);
            QCOMPARE(info.pixelSize(), 67);
        }
    }

    void familyListIsUniqueSortedAndWithoutFoundries()
    {
        const QStringList families = installedFontFamilies();

        QVERIFY(families.contains("Tahoma"));
        for (qsizetype i = 1; i < families.size(); ++i)
            QVERIFY(QString::compare(families[i - 1], families[i], Qt::CaseInsensitive) < 0);
        for (const QString& family : families)
            QVERIFY2(!family.endsWith(']'), qPrintable(family));
    }
};

REGISTER_TEST(BundledFonts)

#include "FontsTest.moc"
