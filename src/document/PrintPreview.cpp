#include "document/PrintPreview.h"

#include "document/Printing.h"
#include "print/PrintJob.h"
#include "print/rptLapora.h"

#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <memory>

void showJobPreview(const PrintJob& job, QWidget* parent)
{
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    preparePrinter(*printer, job);
    auto* preview = new QPrintPreviewDialog(printer.get(), parent);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->setWindowTitle(TqrLapora::Title);
    preview->setWindowModality(parent ? Qt::WindowModal : Qt::NonModal);
    // The job and the printer go with the window.
    auto kept = std::make_shared<PrintJob>(job);
    QObject::connect(preview, &QPrintPreviewDialog::paintRequested, preview, [kept, printer](QPrinter* device) {
        QPainter painter(device);
        useJobUnits(painter, *device, *kept);
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
