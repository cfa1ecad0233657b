#pragma once

#include "layer/LayerItem.h"
#include "print/SheetLayout.h"

#include <QString>

#include <functional>
#include <vector>

class QPainter;

// The cards of a print whose copies differ, a card for each person of a
// list: the layers of one copy, its front or its back. The pages ask for
// their copies in order, so that a list can be read as it is drawn.
using CopyCards = std::function<const std::vector<LayerItem>&(int copy, bool back)>;

// A print of card stock: the card's copies from a start position on, over
// as many sheets as they take, each sheet followed by its back page when
// the card has a back, and every page as the printer's calibration
// answers for it.
struct PrintJob
{
    std::vector<LayerItem> front;
    std::vector<LayerItem> back;
    CopyCards cards;  // when set, each copy's own front and back
    bool hasBack = false;
    int copies = sheet::Copies;
    int start = 1;
    sheet::Flip flip = sheet::Flip::Long;
    sheet::PrinterCalibration calibration;
};

int pageCount(const PrintJob& job);

// One page of the job on a painter set to millimetres from the page's
// top-left corner: a front page's copies with their corner marks and the
// footer, or a back page's cards behind them.
void paintJobPage(QPainter& painter, const PrintJob& job, int page);

// The calibration sheet, on a painter in millimetres: the ten card frames,
// a cross with millimetre rulers at the top-left and the bottom-right
// corner, rulers across the middle, and what to measure.
void paintCalibrationSheet(QPainter& painter);

// A printer's calibration, by its name, as the program's settings keep it;
// the identity, and nowhere to keep one, until the program gives where
// they are.
using CalibrationLookup = std::function<sheet::PrinterCalibration(const QString& printerName)>;
using CalibrationKeeper = std::function<void(const QString& printerName, const sheet::PrinterCalibration&)>;
void setCalibrationStore(CalibrationLookup lookup, CalibrationKeeper keeper);
sheet::PrinterCalibration calibrationOf(const QString& printerName);
void keepCalibration(const QString& printerName, const sheet::PrinterCalibration& calibration);
