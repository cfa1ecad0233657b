#include "cli/Render.h"

#include "layer/Fonts.h"
#include "print/PrintOutput.h"
#include "print/rptLapora.h"
#include "storage/SafeWrite.h"

#include <QBuffer>
#include <QGuiApplication>

#include <iostream>

namespace {

constexpr int DefaultDpi = 300;
constexpr int MaxDpi = 2400;

// The output goes to its file only once it is complete: a card that cannot
// be drawn leaves no file behind.
void writeFile(const std::string& path, const QByteArray& bytes)
{
    SafeWrite out(path);
    out.write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    out.commit();
}

// Qt's note that a root shell has no runtime folder is no news to a
// command-line user.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    std::cerr << qPrintable(qFormatLogMessage(type, context, message)) << '\n';
}

} // namespace

std::optional<RenderRequest> parseRender(const std::vector<std::string>& arguments)
{
    RenderRequest request;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
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
        } else if (argument == "--card") {
            request.card = true;
        } else if (request.cardFile.empty() && !argument.starts_with("--")) {
            request.cardFile = argument;
        } else {
            return std::nullopt;
        }
    }
    if (request.cardFile.empty() || request.output.empty())
        return std::nullopt;
    if (request.dpi == 0)
        request.dpi = DefaultDpi;
    return request;
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
        const std::unique_ptr<TqrLapora> report = loadCardReport(QString::fromLocal8Bit(request.cardFile.c_str()));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (request.pdf && request.card)
            writeCardPdf(*report, &buffer);
        else if (request.pdf)
            writeSheetPdf(*report, &buffer);
        else if (!(request.card ? cardImage(*report, request.dpi) : sheetImage(*report, request.dpi))
                      .save(&buffer, "PNG"))
            throw std::runtime_error("The picture cannot be written as PNG");
        buffer.close();
        writeFile(request.output, bytes);
    } catch (const std::exception& error) {
        std::cerr << "lapora-cli: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
