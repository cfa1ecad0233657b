#pragma once

#include "layer/LayerItem.h"
#include "print/SheetLayout.h"

#include <QPageLayout>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPaintDevice;
class QPainter;

// The cards of a job, copy by copy: the same card on every copy, or each
// person's own card of a merge; each with its back where the job has one.
// A copy of the job shares its merge, which reads its people as the pages
// ask for them.
class CardSource
{
public:
    CardSource() = default;
    explicit CardSource(std::vector<LayerItem> front);

    // The card as the user made it; a merge's people fill it in.
    const std::vector<LayerItem>& front() const { return mFront; }
    const std::optional<std::vector<LayerItem>>& back() const { return mBack; }
    void setBack(std::vector<LayerItem> back);
    bool hasBack() const { return mBack.has_value(); }

    // The layers of each copy of a merge, its front or its back, filled in
    // for the copy's person.
    using PeopleCards = std::function<const std::vector<LayerItem>&(int copy, bool back)>;
    void setPeople(PeopleCards people);
    // Whether each copy is a person's own card.
    bool merged() const { return bool(mPeople); }

    // The layers of one copy (from 0), its front or its back.
    const std::vector<LayerItem>& copy(int copy, bool back) const;

private:
    std::vector<LayerItem> mFront;
    std::optional<std::vector<LayerItem>> mBack;
    PeopleCards mPeople;
};

// What the pages of a job are: sheets of the card's copies (each followed
// by its back page when the card has a back), the card alone on a page of
// its own size, or the printer's calibration sheet.
enum class JobPages { Sheets, Card, Calibration };

// What to print, built alike by lapora-cli render and by the print
// dialogs: the cards, the sheet's layout, how many copies from which
// position on (1 … the layout's card count),
// the edge a sheet is turned over for its back, and the printer's
// calibration. Every output (a PDF, PNG pages, a printer, the preview)
// walks its pages through paintJobPage.
struct PrintJob
{
    JobPages pages = JobPages::Sheets;
    CardSource cards;
    SheetLayout sheet;
    int copies = sheet::Copies;
    int start = 1;
    sheet::Flip flip = sheet::Flip::Long;
    sheet::PrinterCalibration calibration;
};

// Makes the job's cards those of a merge: the front and the back it has
// filled for each person (its card(copy, back)), as many copies as its
// people take (its copies()). The job shares the merge, which reads its
// people as the pages ask for them.
template <class Merge>
void mergeInto(PrintJob& job, std::shared_ptr<Merge> people)
{
    job.copies = people->copies();
    job.cards.setPeople(
        [people](int copy, bool back) -> const std::vector<LayerItem>& { return people->card(copy, back); });
}

int pageCount(const PrintJob& job);
// The paper of every page, the whole of it from its corner, and the name
// of the job (a PDF's title, a printer queue's entry).
QPageLayout pageLayout(const PrintJob& job);
QString jobTitle(const PrintJob& job);

// Sets a painter that has begun on the job's device to the units its pages
// are drawn in: millimetres from the page's top-left corner, or for the
// card alone card pixels (96 to the inch).
void useJobUnits(QPainter& painter, const QPaintDevice& device, const PrintJob& job);
// One page of the job on a painter so set: a front page's copies with
// their corner marks and the footer, a back page's cards behind them, as
// the printer's calibration answers for it; the card; the calibration
// sheet.
void paintJobPage(QPainter& painter, const PrintJob& job, int page);

// The calibration sheet, on a painter in millimetres, on the layout's
// paper: the frames of its cards, a cross with millimetre rulers at the
// top-left and the bottom-right corner, rulers across the middle, and what
// to measure.
void paintCalibrationSheet(QPainter& painter, const SheetLayout& layout = SheetLayout());

// A printer's calibration, by its name, as the program's settings keep it;
// the identity, and nowhere to keep one, until the program gives where
// they are.
using CalibrationLookup = std::function<sheet::PrinterCalibration(const QString& printerName)>;
using CalibrationKeeper = std::function<void(const QString& printerName, const sheet::PrinterCalibration&)>;
void setCalibrationStore(CalibrationLookup lookup, CalibrationKeeper keeper);
sheet::PrinterCalibration calibrationOf(const QString& printerName);
void keepCalibration(const QString& printerName, const sheet::PrinterCalibration& calibration);

// The name of the layout last printed on with a printer, as the program's
// settings keep it; empty, and nowhere to keep one, until the program
// gives where.
using SheetNameLookup = std::function<QString(const QString& printerName)>;
using SheetNameKeeper = std::function<void(const QString& printerName, const QString& sheetName)>;
void setLastSheetStore(SheetNameLookup lookup, SheetNameKeeper keeper);
QString lastSheetOf(const QString& printerName);
void keepLastSheet(const QString& printerName, const QString& sheetName);
