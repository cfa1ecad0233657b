#include "document/Printing.h"

#include "document/JobProgress.h"
#include "document/PrintPreview.h"
#include "print/PrintJob.h"
#include "print/PrintOutput.h"
#include "print/rptLapora.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

PrinterSource& printerSource()
{
    static PrinterSource source;
    return source;
}

PrintError refused(const QPrinter& printer)
{
    return PrintError("A(z) „" + printer.printerName().toStdString() + "” nyomtató nem fogadta el a nyomtatást.");
}

} // namespace

void setPrinterSource(PrinterSource source)
{
    printerSource() = std::move(source);
}

std::unique_ptr<QPrinter> printerNamed(const QString& name)
{
    if (name.isEmpty() && printerSource()) {
        if (std::unique_ptr<QPrinter> printer = printerSource()())
            return printer;
        throw PrintError("Nincs elérhető nyomtató.");
    }
    const QPrinterInfo info = name.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(name);
    if (info.isNull())
        throw PrintError("Nincs elérhető nyomtató.");
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

void preparePrinter(QPrinter& printer, const PrintJob& job)
{
    printer.setDocName(jobTitle(job));
    printer.setFullPage(true);
    printer.setPageLayout(pageLayout(job));
    printer.setCopyCount(1);
    printer.setPrintRange(QPrinter::AllPages);
}

bool printOn(QPrinter& printer, const PrintJob& job, Progress& progress)
{
    preparePrinter(printer, job);
    QPainter painter;
    if (!painter.begin(&printer))
        throw refused(printer);
    useJobUnits(painter, printer, job);
    const int pages = pageCount(job);
    try {
        for (int page = 0; page < pages; ++page) {
            if (page > 0)
                printer.newPage();
            paintJobPage(painter, job, page);
            if (!progress.pageDone(page, pages)) {
                printer.abort();
                painter.end();
                return false;
            }
        }
    } catch (...) {
        printer.abort();
        painter.end();
        throw;
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw refused(printer);
    return true;
}

bool printJob(QPrinter& printer, const PrintJob& job)
{
    JobProgress progress(QStringLiteral("Nyomtatás folyamatban…"), pageCount(job));
    return printOn(printer, job, progress);
}

void printCalibrationSheet(QPrinter& printer, const SheetLayout& layout)
{
    PrintJob calibration;
    calibration.pages = JobPages::Calibration;
    calibration.sheet = layout;
    printOn(printer, calibration, noProgress());
}

void RunCardReport(CardDocument::Snapshot card, bool print)
{
    PrintJob job = jobOf(*cardReport(std::move(card.fields), std::move(card.records)));
    if (print) {
        const std::unique_ptr<QPrinter> printer = printerNamed(QString());
        job.calibration = calibrationOf(printer->printerName());
        printJob(*printer, job);
        return;
    }
    if (const QPrinterInfo info = QPrinterInfo::defaultPrinter(); !info.isNull())
        job.calibration = calibrationOf(info.printerName());
    showJobPreview(job);
}
