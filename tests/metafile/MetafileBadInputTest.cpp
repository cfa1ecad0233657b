#include "tests/TestRegistry.h"
#include "tests/metafile/MetafileBuilder.h"
#include "tests/metafile/PixelProbe.h"

#include "metafile/Metafile.h"

#include <QDir>
#include <QPainter>
#include <QTest>

namespace {

const QColor Blue(0, 0, 200);
const QColor Red(220, 0, 0);

bool isBlue(QRgb p) { return near(p, Blue); }
bool isRed(QRgb p) { return near(p, Red); }

// Blue on top, then whatever record is under test, then red below.
std::string between(const std::function<void(EmfBuilder&)>& middle)
{
    EmfBuilder emf;
    fillRect(emf, Blue, QRect(0, 0, 100, 40));
    middle(emf);
    fillRect(emf, Red, QRect(0, 60, 100, 40), 2);
    return emf.finish();
}

void playSomewhere(const std::string& bytes, MetafileFormat format)
{
    QImage image(64, 48, QImage::Format_ARGB32);
    QPainter painter(&image);
    playMetafile(painter, QRectF(0, 0, 64, 48), bytes, format);
}

Params stretchWith(const std::string& info, const std::string& bits, std::int64_t offBits = -1)
{
    Params p;
    p.i32(0).i32(0).i32(100).i32(100).i32(0).i32(40).i32(0).i32(0).i32(2).i32(2);
    p.i32(80).i32(static_cast<std::int64_t>(info.size()));
    p.i32(offBits >= 0 ? offBits : static_cast<std::int64_t>(80 + info.size()));
    p.i32(static_cast<std::int64_t>(bits.size())).i32(0).i32(0x00CC0020).i32(100).i32(20);
    return p.bytes(info).bytes(bits);
}

std::string infoHeader(std::int32_t width, std::int32_t height, int bitCount, std::uint32_t colors = 0)
{
    Params p;
    p.i32(40).i32(width).i32(height).i16(1).i16(bitCount).i32(0).i32(0).i32(0).i32(0).i32(colors).i32(0);
    return p.data();
}

} // namespace

class MetafileBadInputTest : public QObject
{
    Q_OBJECT

private slots:
    void otherBytesAreRefusedWithAMessage()
    {
        const std::string png("\x89PNG\r\n\x1a\n0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000", 97);
        const std::string wmf = WmfBuilder().finish();
        for (const std::string& bytes : {std::string(), png, wmf}) {
            QVERIFY_THROWS_EXCEPTION(MetafileError, readMetafileInfo(bytes, MetafileFormat::Emf));
            try {
                recordMetafile(bytes, MetafileFormat::Emf);
                QFAIL("accepted");
            } catch (const MetafileError& e) {
                QCOMPARE(QString(e.what()), QStringLiteral("The picture is not an EMF metafile, or its header is damaged."));
            }
        }
        try {
            playSomewhere(png, MetafileFormat::Wmf);
            QFAIL("accepted");
        } catch (const MetafileError& e) {
            QCOMPARE(QString(e.what()), QStringLiteral("The picture is not a WMF metafile, or its header is damaged."));
        }
    }

    void truncatedFixturesPlayWhatIsLeft()
    {
        for (const QString& name : QDir(QStringLiteral(TEST_DATA_DIR)).entryList({"*.emf", "*.wmf"})) {
            const std::string whole = readFixture(name);
            const auto format = name.endsWith(QStringLiteral(".emf")) ? MetafileFormat::Emf : MetafileFormat::Wmf;
            for (std::size_t cut = 0; cut < whole.size(); cut += 97) {
                const std::string part = whole.substr(0, cut);
                try {
                    playSomewhere(part, format);
                } catch (const MetafileError&) {
                    // Only a cut through the header may be refused.
                    QVERIFY2(cut < 256, qPrintable(name + QString::number(cut)));
                }
            }
        }
    }

    void brokenRecordFrameStopsButKeepsWhatWasDrawn()
    {
        for (std::uint32_t size : {0u, 6u, 10u, 0x7FFFFFF0u}) {
            const std::string bytes = between([&](EmfBuilder& emf) { emf.add(emr::Rectangle, rectParams(0, 0, 1, 1)); });
            std::string broken = bytes;
            // The size field of the record after the blue rectangle.
            const std::size_t at = broken.find(rectParams(0, 0, 1, 1).data()) - 4;
            for (int i = 0; i < 4; ++i)
                broken[at + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
            const QImage image = renderPicture(broken, MetafileFormat::Emf, QSize(100, 100));
            QVERIFY(isBlue(image.pixel(50, 20)));
            QVERIFY(isWhite(image.pixel(50, 80)));
        }
    }

    // A count that lies is refused before anything is charged for it: the
    // playing costs what its few true records cost.
    void lyingCountsSkipOnlyTheirRecord()
    {
        const std::string bytes = between([](EmfBuilder& emf) {
            emf.add(emr::Polygon16, Params{0, 0, 10, 10, 0x7FFFFFFF, 0x00050005});
            emf.add(emr::PolyPolygon16, Params{0, 0, 10, 10, 0x40000000, 3, 3});
            emf.add(emr::PolyPolygon16, Params{0, 0, 10, 10, 1, 3, 50, 0x00050005, 0x00060006, 0x00070007});
            Params text;
            text.i32(0).i32(0).i32(1).i32(1).i32(1).f32(1).f32(1).i32(0).i32(0).i32(0x3FFFFFFF).i32(76);
            emf.add(emr::ExtTextOutW, text.i32(0).i32(0).i32(0).i32(0).i32(0).i32(0));
            emf.add(emr::CreateFont, Params{1, -20});
            emf.add(emr::SelectObject, Params{0x7FFFFFFF});
            emf.add(emr::DeleteObject, Params{static_cast<std::int32_t>(0xFFFFFFFF)});
            emf.add(emr::CreateBrush, brushParams(0xFFFFFFF0u, 0, Qt::green));
            emf.add(emr::RestoreDc, Params{static_cast<std::int32_t>(0x80000000)});
            emf.add(emr::SetWindowExt, Params{0, 0});
        });
        WorkBudget spent;
        const QImage image = renderPicture(bytes, MetafileFormat::Emf, QSize(100, 100), &spent);
        QVERIFY(isBlue(image.pixel(50, 20)));
        QVERIFY(isRed(image.pixel(50, 80)));
        QVERIFY(!spent.spent());
        QVERIFY2(spent.points() < 100 && spent.glyphs() < 100 && spent.coverage() < 10,
                 qPrintable(QStringLiteral("%1 points, %2 glyphs").arg(spent.points()).arg(spent.glyphs())));
    }

    void lyingBitmapsDrawNothing_data()
    {
        QTest::addColumn<QByteArray>("info");
        QTest::addColumn<QByteArray>("bits");
        QTest::addColumn<int>("offBits");
        const QByteArray four(4, '\x7F');
        const auto raw = [](const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); };
        QTest::newRow("width beyond the rows") << raw(infoHeader(1000000, 1000, 24)) << four << -1;
        QTest::newRow("height beyond the rows") << raw(infoHeader(1, 0x7FFFFFFF, 24)) << four << -1;
        QTest::newRow("most negative height") << raw(infoHeader(1, INT32_MIN, 24)) << four << -1;
        QTest::newRow("negative width") << raw(infoHeader(-4, 1, 24)) << four << -1;
        QTest::newRow("odd bit count") << raw(infoHeader(1, 1, 7)) << four << -1;
        QTest::newRow("colour table not there") << raw(infoHeader(1, 1, 8, 200)) << four << -1;
        QTest::newRow("rows past the record") << raw(infoHeader(1, 1, 24)) << four << 0x7FFFFFF0;
        QTest::newRow("header size lies") << raw(Params{4000, 1, 1, 0x00180001}.data()) << four << -1;
    }

    void lyingBitmapsDrawNothing()
    {
        QFETCH(QByteArray, info);
        QFETCH(QByteArray, bits);
        QFETCH(int, offBits);
        const std::string bytes = between([&](EmfBuilder& emf) {
            emf.add(emr::StretchDiBits, stretchWith(info.toStdString(), bits.toStdString(), offBits));
        });
        const QImage image = renderPicture(bytes, MetafileFormat::Emf, QSize(100, 100));
        QVERIFY(isWhite(image.pixel(50, 50)));
        QVERIFY(isRed(image.pixel(50, 80)));
    }

    void deepSaveDcStaysBounded()
    {
        EmfBuilder emf;
        for (int i = 0; i < 100000; ++i)
            emf.add(emr::SaveDc);
        emf.add(emr::RestoreDc, Params{-1000000});
        emf.add(emr::RestoreDc, Params{1});
        fillRect(emf, Blue, QRect(0, 0, 100, 100));
        WorkBudget spent;
        const QImage image = renderPicture(emf.finish(), MetafileFormat::Emf, QSize(100, 100), &spent);
        QVERIFY(isBlue(image.pixel(50, 50)));
        // Every record played, none charged for more than itself.
        QVERIFY(!spent.spent());
        QVERIFY(spent.records() >= 100000 && spent.records() < 100010);
        QVERIFY(spent.coverage() < 5);
    }

    // A megabyte of the costliest drawing there is: a hatched zigzag that
    // meets every hatch line at every edge, full-size ellipses with dashed
    // outlines, and clip holes punched into each other.
    void hostileFilesEndWithinTheBudget()
    {
        EmfBuilder emf(QSize(340, 190));
        Params pen;
        pen.i32(1).i32(1).i32(1).i32(0).color(Red);
        emf.add(emr::CreatePen, pen);
        emf.add(emr::SelectObject, Params{1});
        emf.add(emr::CreateBrush, brushParams(3, 2, Red, 5));
        emf.add(emr::SelectObject, Params{3});
        Params zigzag;
        zigzag.i32(0).i32(0).i32(340).i32(190).i32(60000);
        for (int i = 0; i < 60000; ++i)
            zigzag.i16(i % 2 ? 340 : 0).i16(i % 190);
        emf.add(emr::Polygon16, zigzag);
        selectBrush(emf, Blue, 2);
        emf.add(emr::SelectObject, Params{1});
        for (int i = 0; i < 20000; ++i)
            emf.add(emr::Ellipse, rectParams(-100000 - i, -100000, 100000, 100000));
        for (int i = 0; i < 20000; ++i)
            emf.add(emr::ExcludeClipRect, rectParams(i % 340, i % 190, i % 340 + 3, i % 190 + 3));
        for (int i = 0; i < 10000; ++i)
            emf.add(emr::Ellipse, rectParams(0, 0, 340, 190));
        const std::string bytes = emf.finish();
        QVERIFY(bytes.size() > 900000);
        // The edges and the area grow past what a megabyte may draw: the
        // playing is stopped by its budget long before its 50,000 records.
        WorkBudget spent;
        renderPicture(bytes, MetafileFormat::Emf, QSize(340, 190), &spent);
        QVERIFY(spent.spent());
        QVERIFY2(spent.records() < 50000, qPrintable(QString::number(spent.records())));
    }

    // Each input that once broke a player is now either refused as no
    // metafile, with a message, or played within its budget.
    void crashesFoundByFuzzingPlayCleanly()
    {
        const QDir dir(QStringLiteral(TEST_DATA_DIR "/crashes"));
        const QStringList names = dir.entryList(QDir::Files);
        QVERIFY(!names.isEmpty());
        for (const QString& name : names) {
            const std::string bytes = readFixture(QStringLiteral("crashes/") + name);
            for (MetafileFormat format : {MetafileFormat::Emf, MetafileFormat::Wmf}) {
                try {
                    WorkBudget spent;
                    renderPicture(bytes, format, QSize(64, 36), &spent);
                    QVERIFY2(spent.records() <= WorkBudget::MaxRecords, qPrintable(name));
                } catch (const MetafileError& refused) {
                    QVERIFY2(std::string_view(refused.what()).size() > 0, qPrintable(name));
                }
            }
        }
    }
};

REGISTER_TEST(MetafileBadInputTest)
#include "MetafileBadInputTest.moc"
