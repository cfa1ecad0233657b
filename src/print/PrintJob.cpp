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
    // The sheet's positions in order; the copies run on from the start
    // position of the first sheet.
    for (int position = 1; position <= sheet::Copies; ++position) {
        const long long copy = (long long)sheetIndex * sheet::Copies + position - job.start;
        if (copy < 0 || copy >= job.copies)
            continue;
        const std::vector<LayerItem>& layers =
            job.cards ? job.cards(int(copy), back) : (back ? job.back : job.front);
        if (back)
            paintCopy(painter, layers, sheet::backOrigin(position, job.flip));
        else
            paintCopy(painter, layers, sheet::copyOrigin(position));
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
