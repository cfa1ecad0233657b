#include "cli/Render.h"

#include "layer/Fonts.h"
#include "merge/MergedCards.h"
#include "print/PrintJob.h"
#include "print/PrintOutput.h"
#include "print/rptLapora.h"
#include "storage/FileAccess.h"
#include "storage/SafeWrite.h"

#include <QBuffer>
#include <QGuiApplication>

#include <charconv>
#include <cstdio>
#include <iostream>

namespace {

constexpr int DefaultDpi = 300;
constexpr int MaxDpi = 2400;

// A value the user gave that the job cannot take; what() is the message.
class BadValue : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The output goes to its file only once it is complete: a card that cannot
// be drawn leaves no file behind.
void writeFile(const std::string& path, const QByteArray& bytes)
{
    SafeWrite out(path);
    out.write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    out.commit();
}

// An output may never replace what the job reads: a PDF written over the
// card or the data list would destroy the user's work.
void refuseInputs(const std::string& output, const RenderRequest& request)
{
    const std::pair<const std::optional<std::string>, const char*> inputs[] = {
        {request.calibrationSheet ? std::nullopt : std::optional(request.cardFile), "a kártya"},
        {request.back, "a hátoldal kártyája"},
        {request.merge, "az adatfájl"}};
    for (const auto& [input, what] : inputs) {
        if (input && sameFile(output, *input))
            throw BadValue("a kimenet (" + output + ") ugyanaz a fájl, mint " + what + "; nem írom felül");
    }
}

// Several pages as pictures: NAME-1.png, NAME-2.png, ... (NAME.png for
// one); all or none.
void writePictures(const std::string& path, const std::vector<QByteArray>& pages, const RenderRequest& request)
{
    if (pages.size() == 1) {
        writeFile(path, pages.front());
        return;
    }
    std::string base = path;
    if (base.size() > 4) {
        std::string suffix = base.substr(base.size() - 4);
        for (char& c : suffix)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (suffix == ".png")
            base.resize(base.size() - 4);
    }
    std::vector<std::string> names;
    for (std::size_t page = 0; page < pages.size(); ++page) {
        names.push_back(base + "-" + std::to_string(page + 1) + ".png");
        refuseInputs(names.back(), request);
    }
    std::vector<std::string> written;
    try {
        for (std::size_t page = 0; page < pages.size(); ++page) {
            const std::string& name = names[page];
            writeFile(name, pages[page]);
            written.push_back(name);
        }
    } catch (...) {
        for (const std::string& name : written)
            std::remove(name.c_str());
        throw;
    }
}

// Qt's note that a root shell has no runtime folder is no news to a
// command-line user.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    std::cerr << qPrintable(qFormatLogMessage(type, context, message)) << '\n';
}

int wholeNumber(const std::string& text, const char* option, int lowest, int highest)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < lowest || value > highest)
        throw BadValue(std::string("a ") + option + " értéke " + std::to_string(lowest) + " és "
                       + std::to_string(highest) + " közötti egész szám lehet, nem " + text);
    return value;
}

// "X,Y", decimal points as full stops.
QPointF pair(const std::string& text, const char* option, double lowest, double highest, const char* unit)
{
    const auto comma = text.find(',');
    double values[2] = {0, 0};
    bool ok = comma != std::string::npos;
    for (int i = 0; ok && i < 2; ++i) {
        const std::string part = i == 0 ? text.substr(0, comma) : text.substr(comma + 1);
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), values[i]);
        ok = !part.empty() && error == std::errc() && end == part.data() + part.size() && values[i] >= lowest
            && values[i] <= highest;
    }
    if (!ok) {
        char range[64];
        std::snprintf(range, sizeof range, "%g és %g %s", lowest, highest, unit);
        throw BadValue(std::string("a ") + option + " értéke X,Y alakú, mindkettő " + range
                       + " között (például 1.5,-0.5), nem " + text);
    }
    return {values[0], values[1]};
}

// One line, however the file's headers are broken.
std::string oneLine(const QStringList& names)
{
    QString line = names.join(QStringLiteral(", "));
    line.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(u'\n', u' ').replace(u'\r', u' ');
    return line.toStdString();
}

// The placeholders no column answers are printed as typed on every card and
// in every code; the user learns which, and what the columns are called.
std::string unknownPlaceholderWarning(const MergedCards& cards)
{
    QStringList unknown;
    for (const QString& name : cards.unknownPlaceholders())
        unknown << QLatin1Char('{') + name + QLatin1Char('}');
    if (unknown.isEmpty())
        return {};
    return "figyelem: nincs ilyen oszlop az adatfájlban, ezek változatlanul nyomtatódnak: " + oneLine(unknown)
        + "; az adatfájl oszlopai: " + oneLine(cards.columns().names());
}

// Each record's card, the copies given for each person (a sheet unless
// given), the back filled as the front.
void mergeInto(PrintJob& job, const RenderRequest& request, std::string& warning)
{
    const int each = request.copies ? job.copies : sheet::Copies;
    std::optional<MergeTemplate> back;
    if (job.hasBack)
        back.emplace(job.back);
    std::shared_ptr<MergedCards> cards;
    try {
        cards = std::make_shared<MergedCards>(QString::fromLocal8Bit(request.merge->c_str()), MergeTemplate(job.front),
                                              std::move(back), each);
    } catch (const MergeError& error) {
        throw BadValue(error.what());
    }
    warning = unknownPlaceholderWarning(*cards);
    job.copies = cards->copies();
    job.cards = MergedCards::source(std::move(cards));
}

// The card stock options as a job of the card's copies and its back; what
// the user should know of a merge that still prints goes to warning.
PrintJob jobFor(const RenderRequest& request, const TqrLapora& report, std::string& warning)
{
    PrintJob job;
    job.front = report.Printables;
    job.start = request.start ? wholeNumber(*request.start, "--start", 1, sheet::Copies) : 1;
    job.copies = request.copies ? wholeNumber(*request.copies, "--copies", 1, sheet::MaxCopies)
                                : (request.start ? sheet::Copies + 1 - job.start : sheet::Copies);
    if (request.flip) {
        if (*request.flip != "long" && *request.flip != "short")
            throw BadValue("a --flip értéke long vagy short lehet, nem " + *request.flip);
        job.flip = *request.flip == "short" ? sheet::Flip::Short : sheet::Flip::Long;
    }
    sheet::Calibration calibration;
    if (request.offset)
        calibration.offset = pair(*request.offset, "--offset", -sheet::MaxOffset, sheet::MaxOffset, "mm");
    if (request.scale)
        calibration.scale = pair(*request.scale, "--scale", sheet::MinScale, sheet::MaxScale, "%");
    job.calibration.front = calibration;
    job.calibration.back = calibration;
    if (request.backOffset)
        job.calibration.back.offset =
            pair(*request.backOffset, "--back-offset", -sheet::MaxOffset, sheet::MaxOffset, "mm");
    if (request.back) {
        try {
            job.back = loadCardReport(QString::fromLocal8Bit(request.back->c_str()))->Printables;
        } catch (const std::exception& error) {
            throw BadValue("a hátoldal kártyája (" + *request.back + ") nem olvasható: " + error.what());
        }
        job.hasBack = true;
    }
    if (request.merge)
        mergeInto(job, request, warning);
    return job;
}

QByteArray png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw std::runtime_error("The picture cannot be written as PNG");
    return bytes;
}

QByteArray pdfOf(const std::function<void(QIODevice*)>& write)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    write(&buffer);
    return bytes;
}

// The output and its options, shared by render and calibration.
std::optional<RenderRequest> parseOutput(const std::vector<std::string>& arguments, bool calibration)
{
    RenderRequest request;
    request.calibrationSheet = calibration;
    const std::vector<std::pair<const char*, std::optional<std::string> RenderRequest::*>> valued = {
        {"--copies", &RenderRequest::copies}, {"--start", &RenderRequest::start},
        {"--back", &RenderRequest::back},     {"--flip", &RenderRequest::flip},
        {"--offset", &RenderRequest::offset}, {"--scale", &RenderRequest::scale},
        {"--back-offset", &RenderRequest::backOffset}, {"--merge", &RenderRequest::merge}};
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        bool taken = false;
        for (const auto& [name, member] : valued) {
            if (!calibration && argument == name && hasValue && !(request.*member)) {
                request.*member = arguments[++i];
                taken = true;
            }
        }
        if (taken)
            continue;
        if ((argument == "--pdf" || argument == "--png") && hasValue && request.output.empty()) {
            request.pdf = argument == "--pdf";
            request.output = arguments[++i];
        } else if (argument == "--dpi" && hasValue) {
            try {
                std::size_t used = 0;
                request.dpi = std::stoi(arguments[++i], &used);
                if (used != arguments[i].size() || request.dpi < 1 || request.dpi > MaxDpi)
                    return std::nullopt;
            } catch (const std::exception&) {
                return std::nullopt;
            }
        } else if (argument == "--card" && !calibration) {
            request.card = true;
        } else if (!calibration && request.cardFile.empty() && !argument.starts_with("--")) {
            request.cardFile = argument;
        } else {
            return std::nullopt;
        }
    }
    if ((!calibration && request.cardFile.empty()) || request.output.empty() || (request.card && request.cardStock())
        || (request.merge && !request.pdf))
        return std::nullopt;
    if (request.dpi == 0)
        request.dpi = DefaultDpi;
    return request;
}

} // namespace

std::optional<RenderRequest> parseRender(const std::vector<std::string>& arguments)
{
    return parseOutput(arguments, false);
}

std::optional<RenderRequest> parseCalibration(const std::vector<std::string>& arguments)
{
    return parseOutput(arguments, true);
}

int runRender(int argc, char** argv, const RenderRequest& request)
{
    // Without a display the picture is drawn all the same.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    QGuiApplication app(argc, argv);
    registerBundledFonts();
    try {
        refuseInputs(request.output, request);
        if (request.calibrationSheet) {
            if (request.pdf)
                writeFile(request.output, pdfOf(writeCalibrationPdf));
            else
                writeFile(request.output, png(calibrationImage(request.dpi)));
            return 0;
        }
        const std::unique_ptr<TqrLapora> report = loadCardReport(QString::fromLocal8Bit(request.cardFile.c_str()));
        if (request.cardStock()) {
            std::string warning;
            const PrintJob job = jobFor(request, *report, warning);
            if (request.pdf) {
                saveJobPdf(job, QString::fromLocal8Bit(request.output.c_str()));
            } else {
                std::vector<QByteArray> pages;
                for (const QImage& page : jobImages(job, request.dpi))
                    pages.push_back(png(page));
                writePictures(request.output, pages, request);
            }
            // Only once the output is written: a failure's one line stays
            // the only line.
            if (!warning.empty())
                std::cerr << "lapora-cli: " << warning << '\n';
        } else if (request.pdf) {
            writeFile(request.output, pdfOf([&](QIODevice* out) {
                          request.card ? writeCardPdf(*report, out) : writeSheetPdf(*report, out);
                      }));
        } else {
            writeFile(request.output, png(request.card ? cardImage(*report, request.dpi)
                                                       : sheetImage(*report, request.dpi)));
        }
    } catch (const BadValue& error) {
        std::cerr << "lapora-cli: " << error.what() << '\n';
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "lapora-cli: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
