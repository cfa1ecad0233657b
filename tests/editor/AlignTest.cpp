#include "editor/Align.h"
#include "tests/TestRegistry.h"

#include <QTest>

class AlignTest : public QObject
{
    Q_OBJECT

private slots:
    // Against the group's box each edge or centre meets the outermost
    // one's; a centre between two pixels goes left or up, negative places
    // included, as the card's centring does.
    void boxesLineUpOnTheFrame()
    {
        const std::vector<QRect> boxes = {{10, 40, 30, 20}, {60, 5, 41, 11}, {-7, 70, 20, 3}};
        const QRect frame = groupBox(boxes);
        QCOMPARE(frame, QRect(-7, 5, 108, 68));
        using P = std::vector<QPoint>;
        QCOMPARE(aligned(boxes, Alignment::Left, frame), (P{{-7, 40}, {-7, 5}, {-7, 70}}));
        QCOMPARE(aligned(boxes, Alignment::Right, frame), (P{{71, 40}, {60, 5}, {81, 70}}));
        QCOMPARE(aligned(boxes, Alignment::HorizontalCentre, frame), (P{{32, 40}, {26, 5}, {37, 70}}));
        QCOMPARE(aligned(boxes, Alignment::Top, frame), (P{{10, 5}, {60, 5}, {-7, 5}}));
        QCOMPARE(aligned(boxes, Alignment::Bottom, frame), (P{{10, 53}, {60, 62}, {-7, 70}}));
        QCOMPARE(aligned(boxes, Alignment::VerticalCentre, frame), (P{{10, 29}, {60, 33}, {-7, 37}}));
        // One layer against a 340 × 200 card: 101 wide lands at 119.
        QCOMPARE(aligned({{3, 4, 101, 10}}, Alignment::HorizontalCentre, QRect(0, 0, 340, 200)), (P{{119, 4}}));
        // A box wider than its frame centres to the left of it, floored.
        QCOMPARE(aligned({{0, 0, 11, 1}}, Alignment::HorizontalCentre, QRect(0, 0, 8, 1)), (P{{-2, 0}}));
    }

    // The outer two stay; the boxes between are placed by their left
    // edges' order, whatever order they are given in, so that the gaps are
    // equal, the pixel left over going to the later gaps.
    void spacingKeepsTheEndsAndEvensTheGaps()
    {
        // Widths 10, 20, 5, 10 between 0 and 100: 55 of room, gaps 18, 18, 19.
        const std::vector<QRect> boxes = {{90, 0, 10, 5}, {3, 7, 20, 5}, {0, 9, 10, 5}, {50, 1, 5, 5}};
        using P = std::vector<QPoint>;
        const P spaced = distributed(boxes, Qt::Horizontal);
        QCOMPARE(spaced, (P{{90, 0}, {28, 7}, {0, 9}, {66, 1}}));
        // Down: heights of 5 between 0 and 14 overlap by 2 each.
        QCOMPARE(distributed(boxes, Qt::Vertical), (P{{90, 0}, {3, 6}, {0, 9}, {50, 3}}));

        // Down the card, overlapping boxes: the room is negative and the
        // overlaps come out even too.
        const std::vector<QRect> stacked = {{0, 0, 5, 30}, {0, 10, 5, 30}, {0, 20, 5, 30}};
        QCOMPARE(distributed(stacked, Qt::Vertical), (P{{0, 0}, {0, 10}, {0, 20}}));
        const std::vector<QRect> crowded = {{0, 0, 5, 30}, {0, 2, 5, 30}, {0, 20, 5, 30}};
        QCOMPARE(distributed(crowded, Qt::Vertical), (P{{0, 0}, {0, 10}, {0, 20}}));

        // Two boxes stay where they are.
        QCOMPARE(distributed({{0, 0, 5, 5}, {40, 3, 5, 5}}, Qt::Horizontal), (P{{0, 0}, {40, 3}}));
    }

    // A hundred boxes far apart: no overflow, and the last stays put.
    void spacingAHundredFarApart()
    {
        std::vector<QRect> boxes;
        for (int i = 0; i < 100; ++i)
            boxes.push_back(QRect(i * i * 20000, 0, 7, 7));
        const std::vector<QPoint> spaced = distributed(boxes, Qt::Horizontal);
        QCOMPARE(spaced.front().x(), 0);
        QCOMPARE(spaced.back().x(), boxes.back().x());
        const int gap = spaced[1].x() - spaced[0].x();
        for (std::size_t i = 2; i < spaced.size(); ++i)
            QVERIFY(std::abs(spaced[i].x() - spaced[i - 1].x() - gap) <= 1);
    }

    // Each layer keeps its share of the group's box; none goes below a
    // pixel.
    void resizedGroupsScaleEachBox()
    {
        const QRect from(10, 10, 100, 50);
        QCOMPARE(scaledInGroup(QRect(10, 10, 50, 25), from, QRect(10, 10, 200, 100)), QRect(10, 10, 100, 50));
        QCOMPARE(scaledInGroup(QRect(60, 35, 50, 25), from, QRect(0, 0, 50, 25)), QRect(25, 13, 25, 12));
        QCOMPARE(scaledInGroup(QRect(60, 35, 1, 1), from, QRect(0, 0, 10, 5)), QRect(5, 3, 1, 1));
    }
};

REGISTER_TEST(AlignTest)

#include "AlignTest.moc"
