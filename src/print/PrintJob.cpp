#include "print/PrintJob.h"

#include "print/SheetPainter.h"
#include "print/rptLapora.h"

#include <QPainter>

namespace {

// The one installed hook of each kind: the printer calibration's and the
// last sheet's lookup and keeper.
template <class Hook>
Hook& installed()
{
    static Hook hook;
    return hook;
}

// What the printer is asked for: p × scale / 100 + offset.
void applyCalibration(QPainter& painter, const sheet::Calibration& calibration)
{
    painter.translate(calibration.offset);
    painter.scale(calibration.scale.x() / 100, calibration.scale.y() / 100);
}

void paintSheetPage(QPainter& painter, const PrintJob& job, int page)
{
    const bool hasBack = job.cards.hasBack();
    const int pagesPerSheet = hasBack ? 2 : 1;
    const int sheetIndex = page / pagesPerSheet;
    const bool back = hasBack && page % 2 == 1;
    const SheetLayout& layout = job.sheet;
    const int perSheet = layout.cardCount();
    const double scale = layout.cardScale();
    painter.save();
    applyCalibration(painter, back ? job.calibration.back : job.calibration.front);
    // The sheet's positions in order; the copies run on from the start
    // position of the first sheet.
    for (int position = 1; position <= perSheet; ++position) {
        const long long copy = (long long)sheetIndex * perSheet + position - job.start;
        if (copy < 0 || copy >= job.copies)
            continue;
        const std::vector<LayerItem>& layers = job.cards.copy(int(copy), back);
        const QRectF placed = back ? layout.backCard(position, job.flip) : layout.placedCard(position);
        paintCopy(painter, layers, placed.topLeft(), scale, layout.marks);
    }
    if (!back) {
        if (const std::optional<QRectF> footer = layout.footer())
            paintSheetFooter(painter, *footer);
    }
    painter.restore();
}

} // namespace

CardSource::CardSource(std::vector<LayerItem> front)
    : mFront(std::move(front))
{
}

void CardSource::setBack(std::vector<LayerItem> back)
{
    mBack = std::move(back);
}

void CardSource::setPeople(PeopleCards people)
{
    mPeople = std::move(people);
}

const std::vector<LayerItem>& CardSource::copy(int copy, bool back) const
{
    if (mPeople)
        return mPeople(copy, back);
    return back && mBack ? *mBack : mFront;
}

int pageCount(const PrintJob& job)
{
    if (job.pages != JobPages::Sheets)
        return 1;
    return sheet::sheetCount(job.copies, job.start, job.sheet.cardCount()) * (job.cards.hasBack() ? 2 : 1);
}

QPageLayout pageLayout(const PrintJob& job)
{
    const QPageSize paper = job.pages == JobPages::Card ? QPageSize(sheet::CardBand, QPageSize::Millimeter)
        : job.sheet.paper == sheet::PaperSize::Letter   ? QPageSize(QPageSize::Letter)
                                                        : QPageSize(QPageSize::A4);
    return QPageLayout(paper, QPageLayout::Portrait, QMarginsF());
}

QString jobTitle(const PrintJob& job)
{
    return job.pages == JobPages::Calibration ? QStringLiteral("Lapora kalibráló lap") : TqrLapora::Title;
}

void useJobUnits(QPainter& painter, const QPaintDevice& device, const PrintJob& job)
{
    if (job.pages == JobPages::Card)
        painter.scale(device.logicalDpiX() / 96.0, device.logicalDpiY() / 96.0);
    else
        useMillimetres(painter, device);
}

void paintJobPage(QPainter& painter, const PrintJob& job, int page)
{
    switch (job.pages) {
    case JobPages::Sheets: paintSheetPage(painter, job, page); break;
    case JobPages::Card: paintCard(painter, job.cards.copy(0, false)); break;
    case JobPages::Calibration: paintCalibrationSheet(painter, job.sheet); break;
    }
}

void setCalibrationStore(CalibrationLookup lookupWith, CalibrationKeeper keepWith)
{
    installed<CalibrationLookup>() = std::move(lookupWith);
    installed<CalibrationKeeper>() = std::move(keepWith);
}

void keepCalibration(const QString& printerName, const sheet::PrinterCalibration& calibration)
{
    if (installed<CalibrationKeeper>())
        installed<CalibrationKeeper>()(printerName, calibration);
}

sheet::PrinterCalibration calibrationOf(const QString& printerName)
{
    return installed<CalibrationLookup>() ? installed<CalibrationLookup>()(printerName) : sheet::PrinterCalibration{};
}

void setLastSheetStore(SheetNameLookup lookupWith, SheetNameKeeper keepWith)
{
    installed<SheetNameLookup>() = std::move(lookupWith);
    installed<SheetNameKeeper>() = std::move(keepWith);
}

QString lastSheetOf(const QString& printerName)
{
    return installed<SheetNameLookup>() ? installed<SheetNameLookup>()(printerName) : QString();
}

void keepLastSheet(const QString& printerName, const QString& sheetName)
{
    if (installed<SheetNameKeeper>())
        installed<SheetNameKeeper>()(printerName, sheetName);
}
