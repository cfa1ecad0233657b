#include "print/PrintOutput.h"

#include "print/PrintJob.h"
#include "print/SheetLayout.h"
#include "print/SheetPainter.h"
#include "print/rptLapora.h"
#include "storage/SafeWrite.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QApplication>
#include <QFile>
#include <QProgressDialog>

#include <cmath>
#include <optional>

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

// The bytes a PDF writer gives, straight into a file written safely; an
// error is kept for after the writer is done, as it cannot be thrown
// through the writer.
class SafeWriteDevice : public QIODevice
{
public:
    explicit SafeWriteDevice(SafeWrite& out)
        : mOut(out)
    {
        open(QIODevice::WriteOnly);
    }
    const std::string& failure() const { return mFailure; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (!mFailure.empty())
            return -1;
        try {
            mOut.write(data, static_cast<std::size_t>(size));
        } catch (const std::exception& error) {
            mFailure = error.what();
            return -1;
        }
        return size;
    }

private:
    SafeWrite& mOut;
    std::string mFailure;
};

// A progress window for a job's pages whose "Mégse" stops it.
class JobProgress
{
public:
    JobProgress(const QString& label, int pages)
        : mDialog(label, QStringLiteral("Mégse"), 0, pages)
    {
        mDialog.setWindowTitle(TqrLapora::Title);
        mDialog.setMinimumDuration(0);
        mDialog.setValue(0);
    }
    // After a page: false when the user stopped the job.
    bool done(int page)
    {
        mDialog.setValue(page + 1);
        QApplication::processEvents();
        return !mDialog.wasCanceled();
    }

private:
    QProgressDialog mDialog;
};

int dotsPerMetre(int dpi)
{
    return int(std::lround(dpi / 0.0254));
}

// A white A4 page at the resolution, which it also records.
QImage blankSheet(int dpi)
{
    const QSize size(int(std::lround(sheet::Paper.width() / 25.4 * dpi)),
                     int(std::lround(sheet::Paper.height() / 25.4 * dpi)));
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(dotsPerMetre(dpi));
    image.setDotsPerMeterY(dotsPerMetre(dpi));
    image.fill(Qt::white);
    return image;
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

PrintJob jobOf(const TqrLapora& report)
{
    PrintJob job;
    job.front = report.Printables;
    job.copies = std::min(report.TblSor.IsOpen() ? report.TblSor.RecordTotal() : sheet::Copies, sheet::Copies);
    return job;
}

std::unique_ptr<QPrinter> printerNamed(const QString& name)
{
    if (name.isEmpty() && printerSource())
        return printerSource()();
    const QPrinterInfo info = name.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(name);
    if (info.isNull())
        throw PrintError("Nincs elérhető nyomtató.");
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

void printOnDefaultPrinter(const TqrLapora& report)
{
    std::unique_ptr<QPrinter> printer = printerSource() ? printerSource()() : systemDefaultPrinter();
    if (!printer)
        throw PrintError("Nincs elérhető nyomtató.");
    PrintJob job = jobOf(report);
    job.calibration = calibrationOf(printer->printerName());
    printJob(*printer, job);
}

bool printJob(QPrinter& printer, const PrintJob& job)
{
    prepare(printer);
    const int pages = pageCount(job);
    JobProgress progress(QStringLiteral("Nyomtatás folyamatban…"), pages);
    QPainter painter;
    if (!painter.begin(&printer)) {
        throw PrintError("A(z) „" + printer.printerName().toStdString()
                         + "” nyomtató nem fogadta el a nyomtatást.");
    }
    useMillimetres(painter, printer);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            printer.newPage();
        paintJobPage(painter, job, page);
        if (!progress.done(page)) {
            printer.abort();
            painter.end();
            return false;
        }
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        throw PrintError("A(z) „" + printer.printerName().toStdString()
                         + "” nyomtató nem fogadta el a nyomtatást.");
    }
    return true;
}

void showPreview(std::unique_ptr<TqrLapora> report)
{
    PrintJob job = jobOf(*report);
    if (const QPrinterInfo info = QPrinterInfo::defaultPrinter(); !info.isNull())
        job.calibration = calibrationOf(info.printerName());
    showJobPreview(job);
}

void showJobPreview(const PrintJob& job, QWidget* parent)
{
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    prepare(*printer);
    auto* preview = new QPrintPreviewDialog(printer.get(), parent);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->setWindowTitle(TqrLapora::Title);
    preview->setWindowModality(parent ? Qt::WindowModal : Qt::NonModal);
    // The job and the printer go with the window.
    auto kept = std::make_shared<PrintJob>(job);
    QObject::connect(preview, &QPrintPreviewDialog::paintRequested, preview, [kept, printer](QPrinter* device) {
        QPainter painter(device);
        useMillimetres(painter, *device);
        // A list that can no longer be read ends the preview where it
        // stopped; nothing may be thrown through the preview's signal.
        try {
            for (int page = 0; page < pageCount(*kept); ++page) {
                if (page > 0)
                    device->newPage();
                paintJobPage(painter, *kept, page);
            }
        } catch (const std::exception& error) {
            qWarning("%s", error.what());
        }
    });
    if (parent) {
        preview->setWindowState(preview->windowState() | Qt::WindowMaximized);
        preview->exec();
    } else {
        preview->showMaximized();
    }
}

void writeJobPdf(const PrintJob& job, QIODevice* out)
{
    QPdfWriter pdf(out);
    pdf.setTitle(TqrLapora::Title);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&pdf);
    useMillimetres(painter, pdf);
    for (int page = 0; page < pageCount(job); ++page) {
        if (page > 0)
            pdf.newPage();
        paintJobPage(painter, job, page);
    }
}

bool saveJobPdf(const PrintJob& job, const QString& path, bool showProgress)
{
    try {
        SafeWrite out(QFile::encodeName(path).toStdString());
        SafeWriteDevice device(out);
        {
            const int pages = pageCount(job);
            std::optional<JobProgress> progress;
            if (showProgress)
                progress.emplace(QStringLiteral("PDF készül…"), pages);
            QPdfWriter pdf(&device);
            pdf.setTitle(TqrLapora::Title);
            pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
            QPainter painter(&pdf);
            useMillimetres(painter, pdf);
            for (int page = 0; page < pages && device.failure().empty(); ++page) {
                if (page > 0)
                    pdf.newPage();
                paintJobPage(painter, job, page);
                if (progress && !progress->done(page))
                    return false;
            }
        }
        if (!device.failure().empty())
            throw PrintError(device.failure());
        out.commit();
    } catch (const PrintError&) {
        throw;
    } catch (const std::exception& error) {
        throw PrintError(error.what());
    }
    return true;
}

std::vector<QImage> jobImages(const PrintJob& job, int dpi)
{
    std::vector<QImage> pages;
    for (int page = 0; page < pageCount(job); ++page) {
        QImage image = blankSheet(dpi);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        useMillimetres(painter, image);
        paintJobPage(painter, job, page);
        painter.end();
        pages.push_back(std::move(image));
    }
    return pages;
}

void printCalibrationSheet(QPrinter& printer)
{
    prepare(printer);
    printer.setDocName(QStringLiteral("Lapora kalibráló lap"));
    QPainter painter;
    if (!painter.begin(&printer))
        throw PrintError("A(z) „" + printer.printerName().toStdString()
                         + "” nyomtató nem fogadta el a nyomtatást.");
    useMillimetres(painter, printer);
    paintCalibrationSheet(painter);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw PrintError("A(z) „" + printer.printerName().toStdString()
                         + "” nyomtató nem fogadta el a nyomtatást.");
}

void writeCalibrationPdf(QIODevice* out)
{
    QPdfWriter pdf(out);
    pdf.setTitle(QStringLiteral("Lapora kalibráló lap"));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&pdf);
    useMillimetres(painter, pdf);
    paintCalibrationSheet(painter);
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
    QImage image = blankSheet(dpi);
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

QImage calibrationImage(int dpi)
{
    QImage image = blankSheet(dpi);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    useMillimetres(painter, image);
    paintCalibrationSheet(painter);
    return image;
}
