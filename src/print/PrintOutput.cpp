#include "print/PrintOutput.h"

#include "print/SheetLayout.h"
#include "print/SheetPainter.h"
#include "print/rptLapora.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>

#include <cmath>

namespace {

PrinterSource& printerSource()
{
    static PrinterSource source;
    return source;
}

std::unique_ptr<QPrinter> systemDefaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

// A4 portrait, the whole paper, one copy from the default tray.
void prepare(QPrinter& printer)
{
    printer.setDocName(TqrLapora::Title);
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    printer.setCopyCount(1);
    printer.setPrintRange(QPrinter::AllPages);
}

void paintPage(QPainter& painter, const TqrLapora& report)
{
    useMillimetres(painter, *painter.device());
    report.paint(painter);
}

int dotsPerMetre(int dpi)
{
    return int(std::lround(dpi / 0.0254));
}

} // namespace

void setPrinterSource(PrinterSource source)
{
    printerSource() = std::move(source);
}

void printSheet(QPrinter& printer, const TqrLapora& report)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        throw PrintError("A(z) „" + printer.printerName().toStdString()
                         + "” nyomtató nem fogadta el a nyomtatást.");
    }
    paintPage(painter, report);
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        throw PrintError("A(z) „" + printer.printerName().toStdString()
                         + "” nyomtató nem fogadta el a nyomtatást.");
    }
}

void printOnDefaultPrinter(const TqrLapora& report)
{
    std::unique_ptr<QPrinter> printer = printerSource() ? printerSource()() : systemDefaultPrinter();
    if (!printer)
        throw PrintError("Nincs elérhető nyomtató.");
    prepare(*printer);
    QProgressDialog progress(QStringLiteral("Printing progress"), QStringLiteral("Cancel"), 0, 1);
    progress.setWindowTitle(TqrLapora::Title);
    progress.setMinimumDuration(0);
    progress.setValue(0);
    printSheet(*printer, report);
    progress.setValue(1);
}

void showPreview(std::unique_ptr<TqrLapora> report)
{
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    prepare(*printer);
    auto* preview = new QPrintPreviewDialog(printer.get());
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->setWindowTitle(TqrLapora::Title);
    preview->setWindowModality(Qt::NonModal);
    // The report and the printer go with the window.
    std::shared_ptr<TqrLapora> kept(std::move(report));
    QObject::connect(preview, &QPrintPreviewDialog::paintRequested, preview, [kept, printer](QPrinter* device) {
        QPainter painter(device);
        paintPage(painter, *kept);
    });
    preview->showMaximized();
}

void writeSheetPdf(const TqrLapora& report, QIODevice* out)
{
    QPdfWriter pdf(out);
    pdf.setTitle(TqrLapora::Title);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&pdf);
    paintPage(painter, report);
}

QImage sheetImage(const TqrLapora& report, int dpi)
{
    const QSize size(int(std::lround(sheet::Paper.width() / 25.4 * dpi)),
                     int(std::lround(sheet::Paper.height() / 25.4 * dpi)));
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(dotsPerMetre(dpi));
    image.setDotsPerMeterY(dotsPerMetre(dpi));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintPage(painter, report);
    return image;
}

void writeCardPdf(const TqrLapora& report, QIODevice* out)
{
    QPdfWriter pdf(out);
    pdf.setTitle(TqrLapora::Title);
    pdf.setPageLayout(QPageLayout(QPageSize(sheet::CardBand, QPageSize::Millimeter), QPageLayout::Portrait,
                                  QMarginsF()));
    QPainter painter(&pdf);
    painter.scale(pdf.logicalDpiX() / 96.0, pdf.logicalDpiY() / 96.0);
    paintCard(painter, report.Printables);
}

QImage cardImage(const TqrLapora& report, int dpi)
{
    const double scale = dpi / 96.0;
    QImage image(QSize(int(std::lround(340 * scale)), int(std::lround(190 * scale))), QImage::Format_ARGB32);
    image.setDotsPerMeterX(dotsPerMetre(dpi));
    image.setDotsPerMeterY(dotsPerMetre(dpi));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    paintCard(painter, report.Printables);
    return image;
}
