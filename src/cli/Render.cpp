#include "cli/Render.h"

#include "layer/Fonts.h"
#include "merge/MergedCards.h"
#include "print/PrintJob.h"
#include "print/PrintOutput.h"
#include "print/PrintShop.h"
#include "print/rptLapora.h"
#include "storage/FileAccess.h"

#include <QFileInfo>
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

// How the merge fits its texts: shrink unless told.
TextFit textFitOf(const RenderRequest& request)
{
    if (!request.fit || *request.fit == "shrink")
        return TextFit::Shrink;
    if (*request.fit == "off")
        return TextFit::Off;
    throw BadValue("a --fit értéke shrink vagy off lehet, nem " + *request.fit);
}

// The people whose texts the merge drew smaller, and apart from them those
// whose texts fit at no size: a heading and a line each, by their place in
// the list.
std::string fitReport(const MergedCards& cards)
{
    std::string shrunk;
    std::string tooLong;
    int shrunkPeople = 0;
    int tooLongPeople = 0;
    for (const auto& [record, note] : cards.fitNotes()) {
        const std::string person = "lapora-cli:   " + std::to_string(record + 1) + ". személy: „";
        if (note.tooLong) {
            ++tooLongPeople;
            tooLong += person + oneLine({note.tooLong->text}) + "”\n";
        } else if (note.shrunk) {
            ++shrunkPeople;
            shrunk += person + oneLine({note.shrunk->text}) + "” (" + std::to_string(note.shrunk->designedPoints)
                + " helyett " + std::to_string(note.shrunk->points) + " pt)\n";
        }
    }
    std::string report;
    if (shrunkPeople > 0)
        report += "lapora-cli: figyelem: " + std::to_string(shrunkPeople)
            + " személy szövege kisebb betűvel nyomtatódik, hogy elférjen:\n" + shrunk;
    if (tooLongPeople > 0)
        report += "lapora-cli: figyelem: " + std::to_string(tooLongPeople) + " személy szövege "
            + std::to_string(SmallestFitPoints) + " pontos betűvel sem fér el:\n" + tooLong;
    return report;
}

// The card stock options: the card's copies from the start position on,
// its back, the edge and the calibration; with a merge, each record's card
// the copies given for each person (a sheet unless given), the back filled
// as the front. What the user should know of a merge that still prints
// goes to warning; the merge to merged, for its report once drawn.
void cardStock(PrintJob& job, const RenderRequest& request, std::string& warning,
               std::shared_ptr<MergedCards>& merged)
{
    job.sheet = sheetOf(request.sheet);
    const int perSheet = job.sheet.cardCount();
    job.start = request.start ? wholeNumber(*request.start, "--start", 1, perSheet) : 1;
    job.copies = request.copies ? wholeNumber(*request.copies, "--copies", 1, sheet::MaxCopies)
                                : (request.start ? perSheet + 1 - job.start : perSheet);
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
            job.cards.setBack(loadCardReport(QString::fromLocal8Bit(request.back->c_str()))->Printables);
        } catch (const std::exception& error) {
            throw BadValue("a hátoldal kártyája (" + *request.back + ") nem olvasható: " + error.what());
        }
    }
    if (request.merge) {
        const auto people = MergedCards::of({QString::fromLocal8Bit(request.merge->c_str()), nullptr, {},
                                             request.copies ? job.copies : perSheet, textFitOf(request)},
                                            job.cards.front(), job.cards.back());
        mergeInto(job, people);
        warning = unknownPlaceholderWarning(*people);
        merged = people;
    }
}

// The bleed in millimetres: 0 to 5, in steps of a half.
double bleedOf(const std::string& text)
{
    double value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !printshop::validBleed(value))
        throw BadValue("a --bleed értéke 0 és 5 mm közötti szám lehet, fél milliméterenként (például 2.5), nem "
                       + text);
    return value;
}

// What a shop's preflight would say of a card, a line each.
std::string preflightWarnings(const TqrLapora& card, const printshop::Options& options, const char* side)
{
    std::string lines;
    for (const printshop::Finding& finding : printshop::preflight(card.Printables, options))
        lines += std::string("lapora-cli: figyelem: ") + side
            + printshop::describe(finding, card.PrintableNames).toStdString() + '\n';
    return lines;
}

// The print shop's PDF: each card (each person's with a merge) on a page
// of its own, its back after it; the preflight's warnings go to standard
// error once the file is written.
void writePrintShop(const RenderRequest& request, std::string& warning, std::shared_ptr<MergedCards>& merged)
{
    printshop::Options options;
    if (request.bleed)
        options.bleed = bleedOf(*request.bleed);
    options.cropMarks = request.cropMarks;
    const QString cardFile = QString::fromLocal8Bit(request.cardFile.c_str());
    const std::unique_ptr<TqrLapora> card = loadCardReport(cardFile);
    PrintJob job;
    job.cards = CardSource(card->Printables);
    warning = preflightWarnings(*card, options, "");
    if (request.back) {
        std::unique_ptr<TqrLapora> back;
        try {
            back = loadCardReport(QString::fromLocal8Bit(request.back->c_str()));
        } catch (const std::exception& error) {
            throw BadValue("a hátoldal kártyája (" + *request.back + ") nem olvasható: " + error.what());
        }
        job.cards.setBack(back->Printables);
        warning += preflightWarnings(*back, options, "hátoldal, ");
    }
    if (request.merge) {
        const auto people =
            MergedCards::of({QString::fromLocal8Bit(request.merge->c_str()), nullptr, {}, 1, textFitOf(request)},
                            job.cards.front(), job.cards.back());
        mergeInto(job, people);
        merged = people;
        const std::string unknown = unknownPlaceholderWarning(*people);
        if (!unknown.empty())
            warning += "lapora-cli: " + unknown + '\n';
    }
    printshop::writePdf(job, options, QFileInfo(cardFile).fileName(), request.output);
}

// The one job the request asks for: the calibration sheet, the card alone,
// or sheets of the card's copies (by default the one sheet of ten).
PrintJob jobFor(const RenderRequest& request, std::string& warning, std::shared_ptr<MergedCards>& merged)
{
    PrintJob job;
    if (request.calibrationSheet) {
        job.pages = JobPages::Calibration;
        job.sheet = sheetOf(request.sheet);
        return job;
    }
    job.cards = CardSource(loadCardReport(QString::fromLocal8Bit(request.cardFile.c_str()))->Printables);
    if (request.card)
        job.pages = JobPages::Card;
    else
        cardStock(job, request, warning, merged);
    return job;
}

// The job through the writer of its output, which writes all of it or
// nothing. No page may land on a file the job reads.
void writeOutput(const PrintJob& job, const RenderRequest& request)
{
    if (request.pdf) {
        writeSheetPdf(job, request.output);
        return;
    }
    for (const std::string& page : pngPageNames(request.output, pageCount(job)))
        refuseInputs(page, request);
    writeSheetPngs(job, request.output, request.dpi);
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
        {"--back-offset", &RenderRequest::backOffset}, {"--merge", &RenderRequest::merge},
        {"--bleed", &RenderRequest::bleed}, {"--fit", &RenderRequest::fit}};
    // The sheet's layout goes with the calibration sheet too: it is drawn
    // on the layout's paper.
    const std::pair<const char*, std::optional<std::string> SheetOptions::*> sheetValued[] = {
        {"--sheet", &SheetOptions::name}, {"--layout", &SheetOptions::layout}, {"--marks", &SheetOptions::marks}};
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
        for (const auto& [name, member] : sheetValued) {
            if (argument == name && hasValue && !(request.sheet.*member)) {
                request.sheet.*member = arguments[++i];
                taken = true;
            }
        }
        if (taken)
            continue;
        if ((argument == "--pdf" || argument == "--png") && hasValue && request.output.empty()) {
            request.pdf = argument == "--pdf";
            request.output = arguments[++i];
        } else if (argument == "--print-shop" && !calibration && hasValue && request.output.empty()) {
            request.printShop = true;
            request.output = arguments[++i];
        } else if (argument == "--crop-marks" && !calibration && !request.cropMarks) {
            request.cropMarks = true;
        } else if (argument == "--dpi" && hasValue && !request.printShop) {
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
        || (request.merge && !request.pdf && !request.printShop) || (request.fit && !request.merge))
        return std::nullopt;
    // A shop's file is one card to a page: no sheet, no copies, no card
    // alone, no pictures; its own options go with it alone.
    if (request.printShop
        && (request.card || request.dpi || request.copies || request.start || request.flip || request.offset
            || request.scale || request.backOffset || request.sheet.given()))
        return std::nullopt;
    if (!request.printShop && (request.bleed || request.cropMarks))
        return std::nullopt;
    if (calibration && request.sheet.marks)
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
        std::string warning;
        std::shared_ptr<MergedCards> merged;
        if (request.printShop)
            writePrintShop(request, warning, merged);
        else
            writeOutput(jobFor(request, warning, merged), request);
        // Only once the output is written: a failure's one line stays the
        // only line.
        if (!warning.empty() && request.printShop)
            std::cerr << warning;
        else if (!warning.empty())
            std::cerr << "lapora-cli: " << warning << '\n';
        if (merged)
            std::cerr << fitReport(*merged);
    } catch (const BadValue& error) {
        std::cerr << "lapora-cli: " << error.what() << '\n';
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "lapora-cli: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
