// The print shop's PDF: the pages drawn by Qt's PDF writer (RGB, page sizes
// in whole points), their black made the black plate's own, converted to
// CMYK PDF/X-3 by Ghostscript through the FOGRA39 profile, and given the
// exact boxes a shop imposes by.
#include "print/PrintShop.h"

#include "print/ColorProfile.h"
#include "print/PrintJob.h"
#include "print/PrintOutput.h"
#include "storage/SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cmath>
#include <fstream>
#include <set>
#include <vector>

namespace printshop {
namespace {

constexpr double PointsPerMm = 72.0 / 25.4;

// Black, written by Qt as an RGB colour, would come out of the CMYK
// conversion as four-colour black (about 295 % ink, blurred by the plates'
// registration): the shops ask for text and lines on the black plate
// alone. Every fill or stroke of RGB (0, 0, 0) becomes DeviceGray 0, which
// the conversion keeps as it is; a later RGB colour sets its colour space
// again. Saved graphics states are followed, as q and Q save and restore
// the colour spaces too.
class BlackOnBlackPlate : public QPDFObjectHandle::TokenFilter
{
public:
    explicit BlackOnBlackPlate(std::set<std::string> rgbSpaces)
        : mRgbSpaces(std::move(rgbSpaces))
    {
    }

    void handleToken(const QPDFTokenizer::Token& token) override
    {
        if (token.getType() != QPDFTokenizer::tt_word) {
            mPending.push_back(token);
            return;
        }
        operation(token.getValue());
        mPending.clear();
    }

    void handleEOF() override
    {
        for (const QPDFTokenizer::Token& token : mPending)
            writeToken(token);
        mPending.clear();
    }

private:
    // The colour state of one kind of painting, fill or stroke.
    struct Paint
    {
        std::string space;      // the name the last cs or CS set
        bool gray = false;      // we set DeviceGray in its place
    };
    struct State
    {
        Paint fill;
        Paint stroke;
    };

    void operation(const std::string& op)
    {
        if (op == "q") {
            mSaved.push_back(mState);
        } else if (op == "Q" && !mSaved.empty()) {
            mState = mSaved.back();
            mSaved.pop_back();
        } else if (op == "cs" || op == "CS") {
            Paint& paint = op == "cs" ? mState.fill : mState.stroke;
            paint.space = lastName();
            paint.gray = false;
        } else if (op == "scn" || op == "sc" || op == "SCN" || op == "SC") {
            Paint& paint = op[0] == 's' ? mState.fill : mState.stroke;
            const bool fill = op[0] == 's';
            if (mRgbSpaces.count(paint.space) && isBlack()) {
                replaceWith(fill ? "0 g" : "0 G");
                paint.gray = true;
                return;
            }
            if (paint.gray) {
                // The colour space we took away comes back first.
                writeLeading();
                write(paint.space + (fill ? " cs " : " CS "));
                paint.gray = false;
                writeOperands();
                write(op);
                return;
            }
        } else if ((op == "rg" || op == "RG") && isBlack()) {
            replaceWith(op == "rg" ? "0 g" : "0 G");
            return;
        }
        for (const QPDFTokenizer::Token& token : mPending)
            writeToken(token);
        write(op);
    }

    std::vector<const QPDFTokenizer::Token*> operands() const
    {
        std::vector<const QPDFTokenizer::Token*> found;
        for (const QPDFTokenizer::Token& token : mPending)
            if (token.getType() != QPDFTokenizer::tt_space && token.getType() != QPDFTokenizer::tt_comment)
                found.push_back(&token);
        return found;
    }

    std::string lastName() const
    {
        const auto found = operands();
        return found.empty() ? std::string() : found.back()->getRawValue();
    }

    bool isBlack() const
    {
        const auto found = operands();
        if (found.size() != 3)
            return false;
        for (const QPDFTokenizer::Token* token : found) {
            const auto type = token->getType();
            if ((type != QPDFTokenizer::tt_integer && type != QPDFTokenizer::tt_real)
                || std::stod(token->getValue()) != 0.0)
                return false;
        }
        return true;
    }

    // The white space before the operands, kept so the stream reads alike.
    void writeLeading()
    {
        if (!mPending.empty() && mPending.front().getType() == QPDFTokenizer::tt_space)
            writeToken(mPending.front());
    }

    void writeOperands()
    {
        bool leading = true;
        for (const QPDFTokenizer::Token& token : mPending) {
            if (leading && token.getType() == QPDFTokenizer::tt_space)
                continue;
            leading = false;
            writeToken(token);
        }
    }

    void replaceWith(const std::string& gray)
    {
        writeLeading();
        write(gray);
    }

    std::set<std::string> mRgbSpaces;
    std::vector<QPDFTokenizer::Token> mPending;
    State mState;
    std::vector<State> mSaved;
};

// The names a page's resources give DeviceRGB, as its content stream uses
// them with cs and CS.
std::set<std::string> rgbSpacesOf(QPDFPageObjectHelper& page)
{
    std::set<std::string> names;
    QPDFObjectHandle spaces = page.getAttribute("/Resources", false).getKeyIfDict("/ColorSpace");
    if (spaces.isDictionary())
        for (const std::string& key : spaces.getKeys())
            if (spaces.getKey(key).isNameAndEquals("/DeviceRGB"))
                names.insert(key);
    names.insert("/DeviceRGB");
    return names;
}

// A ToUnicode map with each code on a line of its own. Qt writes ranges
// of codes with a list of characters; Ghostscript keeps only the low byte
// of each of those (ő comes out as Q), so a copied or searched word would
// be wrong. Single codes it keeps whole.
std::string codeByCode(const std::string& cmap)
{
    static const QRegularExpression block(QStringLiteral("\\d+\\s+beginbfrange(.*?)endbfrange\\s*"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression range(
        QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>\\s*(\\[[^\\]]*\\]|<[0-9A-Fa-f]+>)"));
    static const QRegularExpression hex(QStringLiteral("<([0-9A-Fa-f]+)>"));
    QString text = QString::fromLatin1(cmap.data(), qsizetype(cmap.size()));
    const qsizetype close = text.lastIndexOf(QLatin1String("endcmap"));
    if (close < 0)
        return cmap;
    std::vector<std::pair<QString, QString>> codes;
    for (auto blocks = block.globalMatch(text); blocks.hasNext();) {
        for (auto ranges = range.globalMatch(blocks.next().captured(1)); ranges.hasNext();) {
            const auto found = ranges.next();
            const int width = int(found.captured(1).size());
            const uint low = found.captured(1).toUInt(nullptr, 16);
            const uint high = found.captured(2).toUInt(nullptr, 16);
            const QString target = found.captured(3);
            if (high < low || high - low > 0xFFFF)
                return cmap;
            const auto code = [&](uint value) { return QString::number(value, 16).rightJustified(width, u'0'); };
            if (target.startsWith(u'[')) {
                uint at = low;
                for (auto each = hex.globalMatch(target); each.hasNext() && at <= high; ++at)
                    codes.emplace_back(code(at), each.next().captured(1));
            } else {
                // A plain range: its last UTF-16 unit counts up with the code.
                const QString first = target.mid(1, target.size() - 2);
                const uint last = first.right(4).toUInt(nullptr, 16);
                for (uint at = low; at <= high; ++at)
                    codes.emplace_back(code(at), first.left(first.size() - 4)
                                                     + QString::number(last + at - low, 16).rightJustified(4, u'0'));
            }
        }
    }
    if (codes.empty())
        return cmap;
    // A block holds at most a hundred codes.
    QString single;
    for (std::size_t i = 0; i < codes.size(); i += 100) {
        const std::size_t count = std::min<std::size_t>(100, codes.size() - i);
        single += QString::number(count) + QStringLiteral(" beginbfchar\n");
        for (std::size_t j = i; j < i + count; ++j)
            single += u'<' + codes[j].first + QStringLiteral("> <") + codes[j].second + QStringLiteral(">\n");
        single += QStringLiteral("endbfchar\n");
    }
    text.insert(close, single);
    text.remove(block);
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

void unicodeCodeByCode(QPDFPageObjectHelper& page, std::set<QPDFObjGen>& done)
{
    QPDFObjectHandle fonts = page.getAttribute("/Resources", false).getKeyIfDict("/Font");
    if (!fonts.isDictionary())
        return;
    for (auto [name, font] : fonts.ditems()) {
        QPDFObjectHandle map = font.getKeyIfDict("/ToUnicode");
        if (!map.isStream() || !done.insert(map.getObjGen()).second)
            continue;
        const auto data = map.getStreamData(qpdf_dl_generalized);
        const std::string cmap(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
        map.replaceStreamData(codeByCode(cmap), QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
    }
}

// Made ready for the conversion: the black and the ToUnicode maps.
void blackOnBlackPlate(const QString& in, const QString& out)
{
    QPDF pdf;
    pdf.processFile(QFile::encodeName(in).constData());
    std::set<QPDFObjGen> maps;
    for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        page.addContentTokenFilter(std::make_shared<BlackOnBlackPlate>(rgbSpacesOf(page)));
        unicodeCodeByCode(page, maps);
    }
    QPDFWriter writer(pdf, QFile::encodeName(out).constData());
    writer.write();
}

QPDFObjectHandle box(const QRectF& millimetres, double pageHeight)
{
    // From the page's top-left in millimetres to PDF points from its
    // bottom-left.
    const double left = millimetres.left() * PointsPerMm;
    const double right = millimetres.right() * PointsPerMm;
    const double bottom = pageHeight - millimetres.bottom() * PointsPerMm;
    const double top = pageHeight - millimetres.top() * PointsPerMm;
    return QPDFObjectHandle::newArray(std::vector<QPDFObjectHandle>{
        QPDFObjectHandle::newReal(left, 4), QPDFObjectHandle::newReal(bottom, 4),
        QPDFObjectHandle::newReal(right, 4), QPDFObjectHandle::newReal(top, 4)});
}

// Qt rounds a page to whole points, and Ghostscript gives the trim and
// bleed boxes the paper's size: each page gets its own boxes, measured
// from the top-left corner the pages are drawn from, its drawing moved so
// that the paper starts at the origin. The title is set here too, as
// Ghostscript takes the drawn file's (empty) one over its own.
void finish(const QStringList& parts, const Geometry& geometry, const QString& title, const QString& out)
{
    QPDF pdf;
    pdf.processFile(QFile::encodeName(parts.front()).constData());
    // The pages of the later parts join the first one's, which has the
    // output intent they were all made for.
    std::vector<std::unique_ptr<QPDF>> later;
    QPDFPageDocumentHelper joined(pdf);
    for (qsizetype part = 1; part < parts.size(); ++part) {
        later.push_back(std::make_unique<QPDF>());
        later.back()->processFile(QFile::encodeName(parts[part]).constData());
        for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(*later.back()).getAllPages())
            joined.addPage(page, false);
    }
    const double height = geometry.media.height() * PointsPerMm;
    for (QPDFPageObjectHelper& page : joined.getAllPages()) {
        const QPDFObjectHandle::Rectangle drawn = page.getAttribute("/MediaBox", false).getArrayAsRectangle();
        const double down = drawn.ury - height;
        page.addPageContents(QPDFObjectHandle::newStream(&pdf, "q 1 0 0 1 " + QPDFObjectHandle::newReal(-drawn.llx, 4).unparse()
                                                                 + " " + QPDFObjectHandle::newReal(-down, 4).unparse()
                                                                 + " cm\n"),
                             true);
        page.addPageContents(QPDFObjectHandle::newStream(&pdf, "\nQ\n"), false);
        QPDFObjectHandle object = page.getObjectHandle();
        object.replaceKey("/MediaBox", box(QRectF(QPointF(0, 0), geometry.media), height));
        object.replaceKey("/TrimBox", box(geometry.trim, height));
        object.replaceKey("/BleedBox", box(geometry.bleed, height));
        object.removeKey("/CropBox");
        object.removeKey("/ArtBox");
    }
    QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
    if (info.isDictionary()) {
        info.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(title.toStdString()));
        info.replaceKey("/Creator", QPDFObjectHandle::newUnicodeString("Lapora"));
    }
    QPDFWriter writer(pdf, QFile::encodeName(out).constData());
    writer.write();
}

// What makes Ghostscript's output PDF/X-3: the version in the document's
// information, and the output intent with the profile the colours were
// converted through.
// A file's path as a PostScript string.
QByteArray postScriptPath(const QString& path)
{
    QByteArray bytes = QFile::encodeName(path);
    bytes.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)");
    return '(' + bytes + ')';
}

QByteArray pdfxPrefix(const QString& profile)
{
    const QByteArray path = postScriptPath(profile);
    return QByteArray("[ /GTS_PDFXVersion (PDF/X-3:2002) /Trapped /False /DOCINFO pdfmark\n")
        + "[ /_objdef {lapora_icc} /type /stream /OBJ pdfmark\n"
          "[ {lapora_icc} << /N 4 >> /PUT pdfmark\n"
          "[ {lapora_icc} "
        + path
        + " (r) file /PUT pdfmark\n"
          "[ /_objdef {lapora_intent} /type /dict /OBJ pdfmark\n"
          "[ {lapora_intent} << /Type /OutputIntent /S /GTS_PDFX /OutputCondition (FOGRA39)\n"
          "  /OutputConditionIdentifier (FOGRA39) /RegistryName (http://www.color.org)\n"
          "  /Info (Coated FOGRA39 \\(ISO 12647-2:2004\\)) /DestOutputProfile {lapora_icc} >> /PUT pdfmark\n"
          "[ {Catalog} << /OutputIntents [ {lapora_intent} ] >> /PUT pdfmark\n";
}

QString ghostscript()
{
    const QString found = QStandardPaths::findExecutable(QStringLiteral("gs"));
    if (found.isEmpty())
        throw PrintError("A nyomdai PDF-hez a Ghostscript (gs) program kell; telepítse a ghostscript csomagot.");
    return found;
}

// Ghostscript's memory grows with every page it converts to CMYK (about a
// megabyte a card here); so many pages at a time keep it bounded.
constexpr int PagesAtATime = 40;

// One Ghostscript conversion of pages first to last (from 1) of the RGB
// pages to CMYK PDF/X-3. It is started ahead, reading its commands from
// its input, so that its own start (its fonts and colour profiles, half its
// time for a card) is done while the pages are still being drawn.
class Conversion
{
public:
    Conversion(const QString& work, int first, int last, const QString& out)
    {
        const QString profiles = printShopProfileDir();
        mGs.setProcessChannelMode(QProcess::SeparateChannels);
        mGs.start(ghostscript(),
                  {QStringLiteral("-dBATCH"), QStringLiteral("-dNOPAUSE"), QStringLiteral("-dSAFER"),
                   QStringLiteral("--permit-file-read=") + profiles + u'/',
                   QStringLiteral("--permit-file-read=") + work + u'/', QStringLiteral("-sDEVICE=pdfwrite"),
                   QStringLiteral("-dPDFX"), QStringLiteral("-sColorConversionStrategy=CMYK"),
                   QStringLiteral("-sProcessColorModel=DeviceCMYK"),
                   QStringLiteral("-sICCProfilesDir=") + profiles + QStringLiteral("/gs/"),
                   QStringLiteral("-dEmbedAllFonts=true"), QStringLiteral("-dSubsetFonts=true"),
                   QStringLiteral("-dFirstPage=%1").arg(first), QStringLiteral("-dLastPage=%1").arg(last),
                   QStringLiteral("-sOutputFile=") + out, QStringLiteral("-")});
        if (!mGs.waitForStarted())
            throw PrintError("A Ghostscript (gs) nem indítható el: " + mGs.errorString().toStdString() + ".");
    }

    // Runs the prefix and the pages; false when progress stopped it.
    // Ghostscript says "Page N" as it starts each page, which is the
    // progress: done pages of all so far.
    bool run(const QString& prefix, const QString& in, int& done, int all, Progress& progress)
    {
        mGs.write(postScriptPath(prefix) + " run " + postScriptPath(in) + " run\n");
        mGs.closeWriteChannel();
        QByteArray said;
        int started = 0;
        while (mGs.state() != QProcess::NotRunning) {
            mGs.waitForReadyRead(100);
            said += mGs.readAllStandardOutput();
            const qsizetype lineEnd = said.lastIndexOf('\n');
            if (lineEnd < 0)
                continue;
            for (const QByteArray& line : said.left(lineEnd).split('\n')) {
                // A page started means the one before it is done.
                if (line.startsWith("Page ") && started++ > 0 && !progress.pageDone(all + done++, 2 * all))
                    return false;
            }
            said = said.mid(lineEnd + 1);
        }
        if (mGs.exitStatus() != QProcess::NormalExit || mGs.exitCode() != 0) {
            const QStringList lines = QString::fromLocal8Bit(mGs.readAllStandardError() + said)
                                          .split(u'\n', Qt::SkipEmptyParts);
            throw PrintError("A Ghostscript nem tudta CMYK-ba alakítani a PDF-et"
                             + (lines.isEmpty() ? std::string() : ": " + lines.last().trimmed().toStdString()) + ".");
        }
        return progress.pageDone(all + done++, 2 * all);
    }

    // A conversion not run, or stopped, ends with its job.
    ~Conversion()
    {
        if (mGs.state() != QProcess::NotRunning) {
            mGs.kill();
            mGs.waitForFinished();
        }
    }

private:
    QProcess mGs;
};

// The pages as Qt draws them, one card to a page; false when progress
// stopped them.
bool drawPages(const PrintJob& job, const Options& options, const QString& path, int copies, Progress& progress)
{
    const Geometry page = geometry(options);
    const int pages = copies * (job.cards.hasBack() ? 2 : 1);
    QPdfWriter pdf(path);
    pdf.setResolution(1200);
    // A point more than the page on either side: the boxes cut it to size.
    const QSizeF points(std::ceil(page.media.width() * PointsPerMm) + 1,
                        std::ceil(page.media.height() * PointsPerMm) + 1);
    pdf.setPageLayout(QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                                  QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&pdf);
    if (!painter.isActive())
        throw PrintError("A nyomdai PDF átmeneti fájlja nem írható.");
    const double dotsPerMm = pdf.resolution() / 25.4;
    painter.scale(dotsPerMm, dotsPerMm);
    int page_ = 0;
    for (int copy = 0; copy < copies; ++copy) {
        for (bool back : {false, true}) {
            if (back && !job.cards.hasBack())
                continue;
            if (page_ > 0)
                pdf.newPage();
            paintPage(painter, job.cards.copy(copy, back), options);
            if (!progress.pageDone(page_, 2 * pages))
                return false;
            ++page_;
        }
    }
    return painter.end();
}

void copyInto(const QString& from, const std::string& path)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        throw PrintError("A nyomdai PDF átmeneti fájlja nem olvasható.");
    SafeWrite out(path);
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        out.write(chunk.constData(), std::size_t(chunk.size()));
    }
    out.commit();
}

} // namespace

void writeDrawnPages(const PrintJob& job, const Options& options, const QString& path)
{
    drawPages(job, options, path, job.cards.merged() ? job.copies : 1, noProgress());
}

bool writePdf(const PrintJob& job, const Options& options, const QString& title, const std::string& path,
              Progress& progress)
{
    if (!validBleed(options.bleed))
        throw PrintError("A kifutó 0 és 5 mm közötti, fél milliméterenként.");
    const int copies = job.cards.merged() ? job.copies : 1;
    const int pages = copies * (job.cards.hasBack() ? 2 : 1);
    const QString profile = printShopProfileDir() + u'/' + QLatin1String(PrintShopProfileName);
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/lapora-nyomda-XXXXXX"));
    if (!work.isValid())
        throw PrintError("A nyomdai PDF-hez nem hozható létre átmeneti mappa: " + work.errorString().toStdString()
                         + ".");
    const QString rgb = work.filePath(QStringLiteral("rgb.pdf"));
    const QString black = work.filePath(QStringLiteral("black.pdf"));
    const QString prefix = work.filePath(QStringLiteral("pdfx.ps"));
    const QString boxed = work.filePath(QStringLiteral("boxed.pdf"));
    try {
        std::unique_ptr<Conversion> next = std::make_unique<Conversion>(
            work.path(), 1, std::min(pages, PagesAtATime), work.filePath(QStringLiteral("cmyk-1.pdf")));
        if (!drawPages(job, options, rgb, copies, progress))
            return false;
        blackOnBlackPlate(rgb, black);
        QFile prefixFile(prefix);
        if (!prefixFile.open(QIODevice::WriteOnly) || prefixFile.write(pdfxPrefix(profile)) < 0
            || !prefixFile.flush())
            throw PrintError("A nyomdai PDF átmeneti fájlja nem írható.");
        prefixFile.close();
        QStringList parts;
        int done = 0;
        for (int first = 1; first <= pages; first += PagesAtATime) {
            std::unique_ptr<Conversion> now = std::move(next);
            parts << work.filePath(QStringLiteral("cmyk-%1.pdf").arg(first));
            // The next part's Ghostscript starts while this one converts.
            const int after = first + PagesAtATime;
            if (after <= pages)
                next = std::make_unique<Conversion>(work.path(), after, std::min(pages, after + PagesAtATime - 1),
                                                    work.filePath(QStringLiteral("cmyk-%1.pdf").arg(after)));
            if (!now->run(prefix, black, done, pages, progress))
                return false;
        }
        finish(parts, geometry(options), title, boxed);
        copyInto(boxed, path);
        return true;
    } catch (const PrintError&) {
        throw;
    } catch (const std::exception& error) {
        // The PDF library's and the file writer's messages, as they are.
        throw PrintError(error.what());
    }
}

} // namespace printshop
