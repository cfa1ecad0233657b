#pragma once

#include "document/CardDocument.h"
#include "print/Progress.h"
#include "print/SheetLayout.h"

#include <QString>

#include <functional>
#include <memory>

class QPrinter;
struct PrintJob;

// The printer's writer of a job, beside the dialogs: Qt PrintSupport links
// Qt Widgets, which the print library and lapora-cli do without.

// Sets a printer to the job: its name, the whole paper of its pages, one
// copy of every page.
void preparePrinter(QPrinter& printer, const PrintJob& job);

// Every page of the job on a printer, the whole paper from its corner.
// False when progress stopped the job, which the printer then drops, as it
// does a job that fails on the way. A printer that will not take the job
// fails with a PrintError that names it.
bool printOn(QPrinter& printer, const PrintJob& job, Progress& progress);
// The same with a progress window (see JobProgress).
bool printJob(QPrinter& printer, const PrintJob& job);

// The calibration sheet on a printer, on the layout's paper, no
// calibration applied.
void printCalibrationSheet(QPrinter& printer, const SheetLayout& layout = SheetLayout());

// The printer by its name, as the system offers it; the default one for an
// empty name. Fails with "Nincs elérhető nyomtató." when there is none.
std::unique_ptr<QPrinter> printerNamed(const QString& name);

// The default printer; the system's unless a test gives its own (none
// when it gives a null one).
using PrinterSource = std::function<std::unique_ptr<QPrinter>()>;
void setPrinterSource(PrinterSource source);  // empty: the system's default again

// The card in a new print report: its sheet on the default printer with
// that printer's calibration (print true), or in a preview window of its
// own (false) that keeps the job while it is open and does not hold up the
// other windows. Returns once the sheet has gone to the printer or the
// preview is shown.
void RunCardReport(CardDocument::Snapshot card, bool print);
