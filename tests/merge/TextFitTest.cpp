#include "merge/MergedCards.h"
#include "merge/TextFit.h"
#include "tests/TestRegistry.h"
#include "tests/merge/MergeLayers.h"

#include <QTest>

namespace {

constexpr int RightLimit = 340 - TextMargin;

LayerItem aligned(const QString& text, int left, TextAlignment alignment, int points = 10)
{
    LayerItem item = textLayer(text);
    item.text.points = points;
    item.text.font = layerFont(QStringLiteral("DejaVu Sans"), points, false, false, false);
    item.text.alignment = alignment;
    item.box = QRect(QPoint(left, 20), textExtent(item.text));
    return item;
}

// The width the text would have at a size.
int widthAt(TextLook look, int points)
{
    look.font.setPixelSize(pointsToPixels(points));
    return textExtent(look).width();
}

const QString LongName = QStringLiteral("Dr. Szentgyörgyi-Nagy Erzsébet Krisztina");
const QString Endless = QStringLiteral("Nemzetközi kapcsolatokért, fenntartható fejlődésért és "
                                       "vállalati társadalmi felelősségvállalásért felelős igazgatóhelyettes");

} // namespace

class TextFitTest : public QObject
{
    Q_OBJECT

private slots:
    // The room: from the left edge to 3 mm before the card's right, the
    // mirror of it for a right-aligned text, twice the nearer side for a
    // centred one; none for an anchor in the margin or off the card.
    void roomFollowsTheAlignment()
    {
        const QRect box(40, 20, 60, 14);
        QCOMPARE(textRoom(box, TextAlignment::Left), RightLimit - 40);
        QCOMPARE(textRoom(box, TextAlignment::Right), 100 - TextMargin);
        QCOMPARE(textRoom(box, TextAlignment::Center), 2 * (70 - TextMargin));
        QCOMPARE(textRoom(QRect(200, 0, 60, 14), TextAlignment::Center), 2 * (RightLimit - 230));
        // A centre on a half pixel is not a pixel short.
        QCOMPARE(textRoom(QRect(160, 0, 21, 14), TextAlignment::Center), 2 * 170 - 2 * TextMargin - 1);
        QCOMPARE(textRoom(QRect(335, 0, 60, 14), TextAlignment::Left), 0);
        QCOMPARE(textRoom(QRect(-80, 0, 60, 14), TextAlignment::Right), 0);
        QCOMPARE(textRoom(QRect(-80, 0, 60, 14), TextAlignment::Center), 0);
    }

    // A name too long for its room is drawn at the largest whole point size
    // that fits, grown from the edge its alignment keeps; one that fits is
    // left at its size, and placed the same way.
    void longNamesShrinkToTheLargestSizeThatFits_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("alignment");
        QTest::newRow("balra") << 120 << int(TextAlignment::Left);
        QTest::newRow("jobbra") << 200 << int(TextAlignment::Right);
        QTest::newRow("középre") << 140 << int(TextAlignment::Center);
    }
    void longNamesShrinkToTheLargestSizeThatFits()
    {
        QFETCH(int, left);
        QFETCH(int, alignment);
        const auto align = TextAlignment(alignment);
        const LayerItem designed = aligned(QStringLiteral("{Név}"), left, align, 12);
        const int room = textRoom(designed.box, align);

        TextLook look = designed.text;
        look.text = LongName;
        QVERIFY(textExtent(look).width() > room);
        const FittedText placed = fitText(look, designed.box, TextFit::Shrink);
        QCOMPARE(placed.outcome, FitOutcome::Shrunk);
        QVERIFY(look.points < 12 && look.points >= SmallestFitPoints);
        QCOMPARE(placed.box.size(), textExtent(look));
        QVERIFY(placed.box.width() <= room);
        QVERIFY(widthAt(look, look.points + 1) > room);
        QCOMPARE(placed.box.top(), designed.box.top());
        // Nothing of it in the margin or off the card.
        QVERIFY(placed.box.left() >= TextMargin - 1);
        QVERIFY(placed.box.left() + placed.box.width() <= RightLimit + 1);
        switch (align) {
        case TextAlignment::Left:
            QCOMPARE(placed.box.left(), designed.box.left());
            break;
        case TextAlignment::Right:
            QCOMPARE(placed.box.left() + placed.box.width(), designed.box.left() + designed.box.width());
            break;
        case TextAlignment::Center:
            QVERIFY(std::abs((2 * placed.box.left() + placed.box.width())
                             - (2 * designed.box.left() + designed.box.width()))
                    <= 1);
            break;
        }

        TextLook shortName = designed.text;
        shortName.text = QStringLiteral("Ő Ödön");
        const FittedText kept = fitText(shortName, designed.box, TextFit::Shrink);
        QCOMPARE(kept.outcome, FitOutcome::Fits);
        QCOMPARE(shortName.points, 12);
        QCOMPARE(kept.box.size(), textExtent(shortName));
        if (align == TextAlignment::Right)
            QCOMPARE(kept.box.left() + kept.box.width(), designed.box.left() + designed.box.width());
    }

    // A text that fits at no size is drawn at 6 points and said to be too
    // long; one designed at 6 points or less keeps its size; with fitting
    // off nothing changes size.
    void whatFitsAtNoSize()
    {
        const LayerItem designed = aligned(QStringLiteral("{Beosztás}"), 20, TextAlignment::Left, 9);
        TextLook look = designed.text;
        look.text = Endless;
        const FittedText placed = fitText(look, designed.box, TextFit::Shrink);
        QCOMPARE(placed.outcome, FitOutcome::TooLong);
        QCOMPARE(look.points, SmallestFitPoints);
        QCOMPARE(look.font.pixelSize(), pointsToPixels(SmallestFitPoints));
        QCOMPARE(placed.box.left(), 20);

        TextLook small = aligned(QStringLiteral("{x}"), 20, TextAlignment::Left, 5).text;
        small.text = Endless;
        QCOMPARE(fitText(small, designed.box, TextFit::Shrink).outcome, FitOutcome::TooLong);
        QCOMPARE(small.points, 5);

        TextLook off = designed.text;
        off.text = Endless;
        const FittedText unfitted = fitText(off, designed.box, TextFit::Off);
        QCOMPARE(unfitted.outcome, FitOutcome::Fits);
        QCOMPARE(off.points, 9);
        QVERIFY(unfitted.box.width() > RightLimit);
    }

    // A merge fits each person's texts for that person alone, front and
    // back, and keeps a note of whom it touched, once however many copies;
    // the template is never changed.
    void mergeNotesWhomItTouched()
    {
        const std::vector<LayerItem> front = {aligned(QStringLiteral("{Név}"), 150, TextAlignment::Left, 12),
                                              aligned(QStringLiteral("Tűzép Kft."), 150, TextAlignment::Left, 12)};
        const std::vector<LayerItem> back = {aligned(QStringLiteral("{Beosztás}"), 300, TextAlignment::Right, 10)};
        auto records = std::make_shared<RecordList>();
        records->columns = {"Név", "Beosztás"};
        records->rows = {{"Ő Ödön", "titkár"}, {LongName, "titkár"}, {"Kis Anna", Endless}, {Endless, Endless}};
        MergedCards cards(records, MergeTemplate(front), MergeTemplate(back), 3);
        for (int copy = 0; copy < cards.copies(); ++copy) {
            cards.card(copy, false);
            cards.card(copy, true);
        }
        const MergedCards::FitNotes& notes = cards.fitNotes();
        QCOMPARE(int(notes.size()), 3);
        QVERIFY(!notes.count(0));
        QVERIFY(notes.at(1).shrunk && !notes.at(1).tooLong);
        QCOMPARE(notes.at(1).shrunk->text, LongName);
        QCOMPARE(notes.at(1).shrunk->designedPoints, 12);
        QVERIFY(notes.at(1).shrunk->points < 12);
        QVERIFY(notes.at(2).tooLong && !notes.at(2).shrunk);
        QCOMPARE(notes.at(2).tooLong->text, Endless);
        QVERIFY(notes.at(3).tooLong);

        // The second person's card: the name smaller, the fixed text not.
        const std::vector<LayerItem>& second = cards.card(3, false);
        QCOMPARE(second[0].text.points, notes.at(1).shrunk->points);
        QCOMPARE(second[1].text.points, 12);
        QCOMPARE(cards.card(0, false)[0].text.points, 12);

        // Told without making the card, the same; a code too big for its
        // person does not stop the telling.
        QrContents tooMuch;
        tooMuch.isContact = false;
        tooMuch.text = QStringLiteral("{Beosztás}");
        std::vector<LayerItem> withCode = front;
        withCode.push_back(qrLayer(tooMuch));
        const MergeTemplate coded(withCode);
        const Columns columns(records->columns);
        for (std::size_t row = 0; row < records->rows.size(); ++row) {
            const MergeTemplate::FitNote told = coded.fitOf(columns, records->rows[row]);
            QCOMPARE(bool(told.shrunk), row == 1);
            QCOMPARE(bool(told.tooLong), row == 3);
        }
        QVERIFY_THROWS_EXCEPTION(QrError, coded.filled(columns, {"x", QString(5000, u'x')}));

        MergedCards unfitted(records, MergeTemplate(front), MergeTemplate(back), 1);
        unfitted.setFit(TextFit::Off);
        QCOMPARE(unfitted.card(1, false)[0].text.points, 12);
        QVERIFY(unfitted.fitNotes().empty());
    }
};

REGISTER_TEST(TextFitTest)

#include "TextFitTest.moc"
