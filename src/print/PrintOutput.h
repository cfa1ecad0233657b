#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

class QIODevice;
class QPrinter;
class QWidget;
class TqrLapora;
struct PrintJob;

// A print that could not be made; what() is the message for the user.
class PrintError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The sheet on a printer, the whole paper from its corner.
void printSheet(QPrinter& printer, const TqrLapora& report);

// The design's job of a report: one sheet of ten copies.
PrintJob jobOf(const TqrLapora& report);

// The default printer with a progress window while the page is rendered,
// with that printer's calibration. No printer at all fails with "Nincs
// elérhető nyomtató."; a printer that will not take the job says so.
void printOnDefaultPrinter(const TqrLapora& report);

// Every page of a job on a printer, the whole paper from its corner, with a
// progress window while the pages are drawn whose "Mégse" stops the job
// (false then).
bool printJob(QPrinter& printer, const PrintJob& job);
// The printer by its name, as the system offers it; the default one for an
// empty name. Fails with "Nincs elérhető nyomtató." when there is none.
std::unique_ptr<QPrinter> printerNamed(const QString& name);

// The job's pages in a preview window of its own, as the printer gets them.
// Given a parent, the preview is modal over it and returns when it closes.
void showJobPreview(const PrintJob& job, QWidget* parent = nullptr);
// The job as a PDF of its pages, and as one picture per page.
void writeJobPdf(const PrintJob& job, QIODevice* out);
// The job's PDF into a file as its pages are drawn, so that a long job
// takes no more memory than a short one; the file is replaced only once
// the PDF is complete. With a progress window, its "Mégse" stops the job
// (false then, and the file is left as it was). Fails with a PrintError
// when the file cannot be written.
bool saveJobPdf(const PrintJob& job, const QString& path, bool showProgress = false);
std::vector<QImage> jobImages(const PrintJob& job, int dpi);

// The calibration sheet on a printer (no calibration applied), and as a
// PDF of one page.
void printCalibrationSheet(QPrinter& printer);
void writeCalibrationPdf(QIODevice* out);
QImage calibrationImage(int dpi);

// The printer a job goes to; the system's default unless a test gives its
// own. Null when there is none.
using PrinterSource = std::function<std::unique_ptr<QPrinter>()>;
void setPrinterSource(PrinterSource source);  // empty: the system's default again

// A preview window of its own for the report, maximised, with zoom, page
// turning, printer set-up and print; it keeps the report while open.
void showPreview(std::unique_ptr<TqrLapora> report);

// The sheet as a one-page PDF, and as a picture at a resolution; the card
// alone the same ways (340 × 190 pixels at 96 dpi, scaled to the dpi).
void writeSheetPdf(const TqrLapora& report, QIODevice* out);
QImage sheetImage(const TqrLapora& report, int dpi);
void writeCardPdf(const TqrLapora& report, QIODevice* out);
QImage cardImage(const TqrLapora& report, int dpi);
