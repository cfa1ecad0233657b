#include "print/PrintJob.h"

#include "print/SheetPainter.h"

#include <QFont>
#include <QPainter>

namespace {

CalibrationLookup& lookup()
{
    static CalibrationLookup installed;
    return installed;
}

CalibrationKeeper& keeper()
{
    static CalibrationKeeper installed;
    return installed;
}

// What the printer is asked for: p × scale / 100 + offset.
void applyCalibration(QPainter& painter, const sheet::Calibration& calibration)
{
    painter.translate(calibration.offset);
    painter.scale(calibration.scale.x() / 100, calibration.scale.y() / 100);
}

} // namespace

int pageCount(const PrintJob& job)
{
    return sheet::sheetCount(job.copies, job.start) * (job.hasBack ? 2 : 1);
}

void paintJobPage(QPainter& painter, const PrintJob& job, int page)
{
    const int pagesPerSheet = job.hasBack ? 2 : 1;
    const int sheetIndex = page / pagesPerSheet;
    const bool back = job.hasBack && page % 2 == 1;
    painter.save();
    applyCalibration(painter, back ? job.calibration.back : job.calibration.front);
    for (const sheet::Placement& placed : sheet::placements(job.copies, job.start)) {
        if (placed.sheet != sheetIndex)
            continue;
        if (back)
            paintCopy(painter, job.back, sheet::backOrigin(placed.position, job.flip));
        else
            paintCopy(painter, job.front, sheet::copyOrigin(placed.position));
    }
    if (!back)
        paintSheetFooter(painter);
    painter.restore();
}

void setCalibrationStore(CalibrationLookup lookupWith, CalibrationKeeper keepWith)
{
    lookup() = std::move(lookupWith);
    keeper() = std::move(keepWith);
}

void keepCalibration(const QString& printerName, const sheet::PrinterCalibration& calibration)
{
    if (keeper())
        keeper()(printerName, calibration);
}

sheet::PrinterCalibration calibrationOf(const QString& printerName)
{
    return lookup() ? lookup()(printerName) : sheet::PrinterCalibration{};
}
