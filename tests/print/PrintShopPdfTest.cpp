#include "print/ColorProfile.h"
#include "print/PrintJob.h"
#include "print/PrintOutput.h"
#include "print/PrintShop.h"
#include "tests/TestRegistry.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <functional>

namespace {

constexpr double MmPerPoint = 25.4 / 72;

LayerItem text(const QString& words, QPoint at, QColor color)
{
    LayerItem item;
    item.kind = LayerKind::Text;
    item.text.text = words;
    item.text.points = 10;
    item.text.color = color;
    item.text.font = layerFont(QStringLiteral("DejaVu Sans"), 10, false, false, false);
    item.box = QRect(at, textExtent(item.text));
    return item;
}

LayerItem shape(QRect box, QColor fill)
{
    LayerItem item;
    item.kind = LayerKind::Shape;
    item.box = box;
    item.shape.fill = fill;
    item.shape.outline = fill;
    return item;
}

// A card of black and red text over a blue band along its foot, the band
// reaching both sides and the bottom edge.
std::vector<LayerItem> textCard()
{
    return {shape(QRect(0, 150, 340, 40), QColor(0, 0, 255)), text(QStringLiteral("Kovács Anna"), {20, 20}, Qt::black),
            text(QStringLiteral("Tűzép Kft."), {20, 60}, QColor(255, 0, 0))};
}

QRectF millimetres(QPDFObjectHandle box)
{
    const QPDFObjectHandle::Rectangle r = box.getArrayAsRectangle();
    return QRectF(QPointF(r.llx, r.lly) * MmPerPoint, QPointF(r.urx, r.ury) * MmPerPoint);
}

bool near(const QRectF& a, const QRectF& b)
{
    return std::abs(a.left() - b.left()) < 0.01 && std::abs(a.right() - b.right()) < 0.01
        && std::abs(a.top() - b.top()) < 0.01 && std::abs(a.bottom() - b.bottom()) < 0.01;
}

// What a page's content does with colour and text: each operator with its
// operands, in order.
struct Operation
{
    std::string op;
    std::vector<QPDFObjectHandle> operands;
};

class Recorder : public QPDFObjectHandle::ParserCallbacks
{
public:
    std::vector<Operation> operations;
    void handleObject(QPDFObjectHandle object) override
    {
        if (object.isOperator()) {
            operations.push_back({object.getOperatorValue(), mOperands});
            mOperands.clear();
        } else {
            mOperands.push_back(object);
        }
    }
    void handleEOF() override {}

private:
    std::vector<QPDFObjectHandle> mOperands;
};

std::vector<Operation> operationsOf(QPDFPageObjectHelper& page)
{
    Recorder recorder;
    page.parseContents(&recorder);
    return recorder.operations;
}

// The fill colour each text is shown in: "g 0" for gray 0, "k c m y k" for
// CMYK, with the values as the file writes them.
std::vector<std::vector<double>> textColours(QPDFPageObjectHelper& page)
{
    std::vector<double> fill;
    std::vector<std::vector<double>> shown;
    std::vector<std::vector<double>> saved;
    for (Operation operation : operationsOf(page)) {
        if (operation.op == "g" || operation.op == "k" || operation.op == "sc" || operation.op == "scn") {
            fill.clear();
            for (QPDFObjectHandle value : operation.operands)
                if (value.isNumber())
                    fill.push_back(value.getNumericValue());
        } else if (operation.op == "q") {
            saved.push_back(fill);
        } else if (operation.op == "Q" && !saved.empty()) {
            fill = saved.back();
            saved.pop_back();
        } else if (operation.op == "Tj" || operation.op == "TJ") {
            shown.push_back(fill);
        }
    }
    return shown;
}

// Every colour space named anywhere in the file, resources and pictures
// alike.
void collectSpaces(QPDFObjectHandle object, std::set<QPDFObjGen>& seen, std::vector<std::string>& spaces)
{
    if (object.isIndirect() && !seen.insert(object.getObjGen()).second)
        return;
    if (object.isStream())
        object = object.getDict();
    if (object.isArray()) {
        for (QPDFObjectHandle item : object.aitems())
            collectSpaces(item, seen, spaces);
    } else if (object.isDictionary()) {
        for (auto [key, value] : object.ditems()) {
            if ((key == "/ColorSpace" || key == "/CS") && value.isName())
                spaces.push_back(value.getName());
            if (key == "/ColorSpace" && value.isArray() && value.getArrayNItems() > 0)
                spaces.push_back(value.getArrayItem(0).getName());
            if (key == "/N" && value.isInteger() && value.getIntValue() == 3)
                spaces.push_back("/N 3");
            if (key != "/Parent")
                collectSpaces(value, seen, spaces);
        }
    }
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage renderedPage(const QString& pdf, int page, int dpi, const QString& prefix)
{
    QProcess render;
    render.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
                                              QString::number(page), QStringLiteral("-l"), QString::number(page),
                                              QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, prefix});
    render.waitForFinished(60000);
    return QImage(prefix + QStringLiteral(".png"));
}

class Stopper : public Progress
{
public:
    explicit Stopper(int after)
        : mAfter(after)
    {
    }
    bool pageDone(int page, int) override { return page < mAfter; }

private:
    int mAfter;
};

} // namespace

class PrintShopPdfTest : public QObject
{
    Q_OBJECT

    QTemporaryDir mDir;

    QString written(const std::vector<LayerItem>& front, std::optional<std::vector<LayerItem>> back,
                    const printshop::Options& options, const QString& name)
    {
        PrintJob job;
        job.cards = CardSource(front);
        if (back)
            job.cards.setBack(*back);
        const QString path = mDir.filePath(name);
        if (!printshop::writePdf(job, options, QStringLiteral("névjegy.bcrd"), path.toStdString()))
            qFatal("the print shop's PDF was stopped");
        return path;
    }

private slots:
    // What a shop's preflight reads first: PDF/X-3 in the information, not
    // trapped, an ID, the card's name as the title, and one output intent
    // for FOGRA39 carrying the profile the colours went through; one page
    // for the front, one for the back, each with its own trim of 90 × 50 mm
    // and the bleed around it, the paper the bleed box, or larger with crop
    // marks.
    void pdfxStructureAndBoxes_data()
    {
        QTest::addColumn<double>("bleed");
        QTest::addColumn<bool>("marks");
        QTest::newRow("3 mm, no marks") << 3.0 << false;
        QTest::newRow("0.5 mm, crop marks") << 0.5 << true;
        QTest::newRow("no bleed") << 0.0 << false;
    }
    void pdfxStructureAndBoxes()
    {
        QFETCH(double, bleed);
        QFETCH(bool, marks);
        const QString path = written(textCard(), std::vector<LayerItem>{text(QStringLiteral("Hátoldal"), {20, 20}, Qt::black)},
                                     {bleed, marks}, QStringLiteral("boxes.pdf"));
        QPDF pdf;
        pdf.processFile(path.toLocal8Bit().constData());
        QCOMPARE(QString::fromStdString(pdf.getPDFVersion()), QStringLiteral("1.3"));
        QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
        QCOMPARE(info.getKey("/GTS_PDFXVersion").getUTF8Value(), std::string("PDF/X-3:2002"));
        QCOMPARE(info.getKey("/Trapped").getName(), std::string("/False"));
        QCOMPARE(QString::fromStdString(info.getKey("/Title").getUTF8Value()), QStringLiteral("névjegy.bcrd"));
        QVERIFY(pdf.getTrailer().getKey("/ID").isArray());
        QPDFObjectHandle intents = pdf.getRoot().getKey("/OutputIntents");
        QCOMPARE(intents.getArrayNItems(), 1);
        QPDFObjectHandle intent = intents.getArrayItem(0);
        QCOMPARE(intent.getKey("/S").getName(), std::string("/GTS_PDFX"));
        QCOMPARE(intent.getKey("/OutputConditionIdentifier").getUTF8Value(), std::string("FOGRA39"));
        QPDFObjectHandle profile = intent.getKey("/DestOutputProfile");
        QCOMPARE(profile.getDict().getKey("/N").getIntValue(), 4);
        const auto data = profile.getStreamData(qpdf_dl_all);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(data->getBuffer()), qsizetype(data->getSize())),
                 fileBytes(printShopProfileDir() + u'/' + QLatin1String(PrintShopProfileName)));

        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
        QCOMPARE(pages.size(), std::size_t(2));
        for (QPDFPageObjectHelper& page : pages) {
            QPDFObjectHandle object = page.getObjectHandle();
            const QRectF trim = millimetres(object.getKey("/TrimBox"));
            const QRectF bleedBox = millimetres(object.getKey("/BleedBox"));
            const QRectF media = millimetres(object.getKey("/MediaBox"));
            QVERIFY2(std::abs(trim.width() - 90) < 0.01 && std::abs(trim.height() - 50) < 0.01,
                     qPrintable(QStringLiteral("%1 × %2").arg(trim.width()).arg(trim.height())));
            QVERIFY(near(bleedBox, trim.adjusted(-bleed, -bleed, bleed, bleed)));
            QCOMPARE(media.topLeft(), QPointF(0, 0));
            if (marks)
                QVERIFY(media.contains(bleedBox.adjusted(-printshop::CropMarkLength, -printshop::CropMarkLength,
                                                         printshop::CropMarkLength, printshop::CropMarkLength)));
            else
                QVERIFY(near(media, bleedBox));
        }
    }

    // Colour is CMYK through and through: no RGB operator, colour space or
    // picture anywhere. Black text is on the black plate alone (gray 0 or
    // 0 0 0 1), red text is magenta and yellow; the text stays text, every
    // font embedded, and a card of text and shapes holds no picture.
    void cmykBlackOnKAndTextAsText()
    {
        const QString path = written(textCard(), std::nullopt, {}, QStringLiteral("colour.pdf"));
        QPDF pdf;
        pdf.processFile(path.toLocal8Bit().constData());
        std::set<QPDFObjGen> seen;
        std::vector<std::string> spaces;
        collectSpaces(pdf.getRoot(), seen, spaces);
        for (const std::string& space : spaces)
            QVERIFY2(space != "/DeviceRGB" && space != "/CalRGB" && space != "/N 3", space.c_str());

        QPDFPageObjectHelper page = QPDFPageDocumentHelper(pdf).getAllPages().front();
        for (Operation operation : operationsOf(page))
            QVERIFY2(operation.op != "rg" && operation.op != "RG"
                         && !((operation.op == "scn" || operation.op == "SCN" || operation.op == "sc"
                               || operation.op == "SC")
                              && operation.operands.size() == 3),
                     operation.op.c_str());
        const std::vector<std::vector<double>> colours = textColours(page);
        QVERIFY(!colours.empty());
        const auto isBlackPlate = [](const std::vector<double>& c) {
            return c == std::vector<double>{0} || c == std::vector<double>{0, 0, 0, 1};
        };
        const auto isRed = [](const std::vector<double>& c) {
            return c.size() == 4 && c[0] < 0.05 && c[1] > 0.8 && c[2] > 0.8 && c[3] < 0.05;
        };
        QVERIFY(std::any_of(colours.begin(), colours.end(), isBlackPlate));
        QVERIFY(std::any_of(colours.begin(), colours.end(), isRed));
        QVERIFY(std::all_of(colours.begin(), colours.end(),
                            [&](const std::vector<double>& c) { return isBlackPlate(c) || isRed(c); }));

        QPDFObjectHandle resources = page.getAttribute("/Resources", false);
        QVERIFY(!resources.getKey("/XObject").isDictionary() || resources.getKey("/XObject").getKeys().empty());
        QPDFObjectHandle fonts = resources.getKey("/Font");
        QVERIFY(fonts.isDictionary() && !fonts.getKeys().empty());
        for (auto [name, font] : fonts.ditems()) {
            QPDFObjectHandle described = font.getKey("/Subtype").getName() == "/Type0"
                ? font.getKey("/DescendantFonts").getArrayItem(0)
                : font;
            QPDFObjectHandle descriptor = described.getKey("/FontDescriptor");
            QVERIFY2(descriptor.hasKey("/FontFile") || descriptor.hasKey("/FontFile2") || descriptor.hasKey("/FontFile3"),
                     name.c_str());
        }
        QProcess words;
        words.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        QVERIFY(words.waitForFinished(30000));
        const QString shown = QString::fromUtf8(words.readAllStandardOutput());
        QVERIFY(shown.contains(QStringLiteral("Kovács Anna")));
        QVERIFY(shown.contains(QStringLiteral("Tűzép Kft.")));
    }

    // A picture with transparency becomes one opaque picture of its own box
    // (PDF/X-3 allows no transparency); the text and the shapes around it
    // stay what they are, and no soft mask or opacity is left anywhere.
    void transparentPictureFlattenedAlone()
    {
        QImage halfClear(40, 40, QImage::Format_ARGB32);
        halfClear.fill(QColor(255, 0, 0, 128));
        LayerItem picture;
        picture.kind = LayerKind::Picture;
        picture.box = QRect(200, 40, 80, 80);
        picture.stretch = true;
        picture.picture = LayerPicture(halfClear);
        std::vector<LayerItem> card = textCard();
        card.push_back(picture);
        QCOMPARE(printshop::flattenedLayers(card), std::vector<int>{3});
        const QString path = written(card, std::nullopt, {}, QStringLiteral("atlatszo.pdf"));
        QPDF pdf;
        pdf.processFile(path.toLocal8Bit().constData());
        QPDFPageObjectHelper page = QPDFPageDocumentHelper(pdf).getAllPages().front();
        const auto images = page.getImages();
        QCOMPARE(images.size(), std::size_t(1));
        QPDFObjectHandle image = images.begin()->second;
        QVERIFY(!image.getDict().hasKey("/SMask"));
        // 80 card pixels at 600 ppi, give or take the edge.
        QVERIFY(std::abs(image.getDict().getKey("/Width").getIntValue() - 80 * 600 / 96 * 90 / 89.96) <= 3);
        QVERIFY(page.getAttribute("/Resources", false).getKey("/Font").isDictionary());
        QPDFObjectHandle states = page.getAttribute("/Resources", false).getKey("/ExtGState");
        if (states.isDictionary())
            for (auto [name, state] : states.ditems())
                for (const char* opacity : {"/ca", "/CA"})
                    QVERIFY(!state.hasKey(opacity) || state.getKey(opacity).getNumericValue() == 1.0);
        QVERIFY(!textColours(page).empty());
    }

    // A colour goes through the output intent's profile as the colour
    // management library takes it (sRGB to the profile, relative
    // colorimetric with black point compensation), within 0.01.
    void colourAsTheProfileGivesIt()
    {
        const QString path = written({shape(QRect(100, 50, 100, 60), QColor(0, 102, 204))}, std::nullopt, {},
                                     QStringLiteral("szin.pdf"));
        QProcess convert;
        convert.start(QStringLiteral("transicc"),
                      {QStringLiteral("-i"), QStringLiteral("*sRGB"), QStringLiteral("-o"),
                       printShopProfileDir() + u'/' + QLatin1String(PrintShopProfileName), QStringLiteral("-t"),
                       QStringLiteral("1"), QStringLiteral("-b"), QStringLiteral("-n")});
        QVERIFY(convert.waitForStarted());
        convert.write("0 102 204\n");
        convert.closeWriteChannel();
        QVERIFY(convert.waitForFinished(30000));
        const QStringList said = QString::fromLatin1(convert.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QVERIFY(!said.isEmpty());
        const QStringList expected = said.last().split(u' ', Qt::SkipEmptyParts);
        QCOMPARE(expected.size(), 4);

        QPDF pdf;
        pdf.processFile(path.toLocal8Bit().constData());
        QPDFPageObjectHelper page = QPDFPageDocumentHelper(pdf).getAllPages().front();
        int found = 0;
        for (Operation operation : operationsOf(page)) {
            if (operation.op != "k")
                continue;
            ++found;
            for (int ink = 0; ink < 4; ++ink)
                QVERIFY2(std::abs(operation.operands[std::size_t(ink)].getNumericValue() - expected[ink].toDouble() / 100)
                             < 0.01,
                         qPrintable(said.last()));
        }
        QVERIFY(found > 0);
    }

    // The band along the card's foot carries on into the bleed: rendered,
    // the bottom strip outside the trim is blue, the top one paper white.
    void bleedStripsFilledByEdgeContent()
    {
        const QString path = written(textCard(), std::nullopt, {}, QStringLiteral("bleed.pdf"));
        const QImage page = renderedPage(path, 1, 254, mDir.filePath(QStringLiteral("bleed")));
        // 96 × 56 mm at ten dots a millimetre, give or take the last dot
        QVERIFY(std::abs(page.width() - 960) <= 1 && std::abs(page.height() - 560) <= 1);
        const auto blue = [&](int x, int y) {
            const QColor c = page.pixelColor(x, y);
            return c.blue() > 120 && c.red() < 100 && c.green() < 120;
        };
        // No seam where the band meets what carries it on: a viewer's
        // smoothing would show a lighter line along the trim where the
        // trim falls between two dots (at 150 dpi it does).
        const QImage coarse = renderedPage(path, 1, 150, mDir.filePath(QStringLiteral("bleed150")));
        const int y = coarse.height() * 85 / 100;
        const QColor band = coarse.pixelColor(coarse.width() / 2, y);
        for (int x = 0; x < coarse.width(); ++x) {
            const QColor c = coarse.pixelColor(x, y);
            QVERIFY2(std::abs(c.red() - band.red()) + std::abs(c.green() - band.green()) + std::abs(c.blue() - band.blue())
                         <= 6,
                     qPrintable(QStringLiteral("%1: %2").arg(x).arg(c.name())));
        }
        for (int x : {2, 480, 957}) {
            QVERIFY2(blue(x, 558), qPrintable(page.pixelColor(x, 558).name()));
            QVERIFY(blue(x, 540));
            QCOMPARE(page.pixelColor(x, 2), QColor(Qt::white));
        }
    }

    // Ghostscript converts so many pages at a time; the parts join into one
    // file in the people's order, with its one output intent.
    void manyPeopleInTheirOrder()
    {
        constexpr int People = 23;  // with backs, two parts
        std::vector<std::vector<LayerItem>> cards;
        for (int person = 0; person < 2 * People; ++person)
            cards.push_back({text(QStringLiteral("Ember %1 %2").arg(person / 2).arg(person % 2 ? "hátul" : "elöl"),
                                  {20, 20}, Qt::black)});
        PrintJob job;
        job.cards = CardSource(cards.front());
        job.cards.setBack(cards[1]);
        job.cards.setPeople([&](int copy, bool back) -> const std::vector<LayerItem>& { return cards[2 * copy + back]; });
        job.copies = People;
        const QString path = mDir.filePath(QStringLiteral("sok.pdf"));
        QVERIFY(printshop::writePdf(job, {}, QStringLiteral("sok"), path.toStdString()));
        QPDF pdf;
        pdf.processFile(path.toLocal8Bit().constData());
        QCOMPARE(QPDFPageDocumentHelper(pdf).getAllPages().size(), std::size_t(2 * People));
        QCOMPARE(pdf.getRoot().getKey("/OutputIntents").getArrayNItems(), 1);
        QProcess words;
        words.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        QVERIFY(words.waitForFinished(30000));
        const QStringList pages = QString::fromUtf8(words.readAllStandardOutput()).split(u'\f');
        for (int page = 0; page < 2 * People; ++page)
            QVERIFY2(pages[page].contains(QStringLiteral("Ember %1 %2").arg(page / 2).arg(page % 2 ? "hátul" : "elöl")),
                     qPrintable(pages[page]));
    }

    // A job stopped on the way, or one that cannot be made, leaves the file
    // as it was.
    void stoppedOrFailedLeavesTheFile()
    {
        const QString path = mDir.filePath(QStringLiteral("regi.pdf"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("régi");
        old.close();
        PrintJob job;
        job.cards = CardSource(textCard());
        job.cards.setBack(textCard());
        for (int after : {0, 2}) {
            Stopper stop(after);
            QVERIFY(!printshop::writePdf(job, {}, QStringLiteral("x"), path.toStdString(), stop));
            QCOMPARE(fileBytes(path), QByteArray("régi"));
        }
        const QByteArray paths = qgetenv("PATH");
        qputenv("PATH", mDir.path().toLocal8Bit());
        bool refused = false;
        try {
            printshop::writePdf(job, {}, QStringLiteral("x"), path.toStdString());
        } catch (const PrintError& error) {
            refused = QString::fromUtf8(error.what()).contains(QStringLiteral("Ghostscript"));
        }
        qputenv("PATH", paths);
        QVERIFY(refused);
        QCOMPARE(fileBytes(path), QByteArray("régi"));
    }
};

REGISTER_TEST(PrintShopPdfTest)
#include "PrintShopPdfTest.moc"
