#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <memory>
#include <stdexcept>

class QIODevice;
class QPrinter;
class TqrLapora;

// A print that could not be made; what() is the message for the user.
class PrintError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The sheet on a printer, the whole paper from its corner.
void printSheet(QPrinter& printer, const TqrLapora& report);

// The default printer with a progress window while the page is rendered.
// No printer at all fails with "Nincs elérhető nyomtató."; a printer that
// will not take the job says so.
void printOnDefaultPrinter(const TqrLapora& report);

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
