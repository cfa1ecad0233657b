#pragma once

#include "layer/LayerItem.h"
#include "print/Progress.h"

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <string>
#include <vector>

class QPainter;
struct PrintJob;

// A card for a print shop: one card to a page at the trim size shops cut
// business cards to, with bleed around it and crop marks when asked for,
// in CMYK as a PDF/X-3 file.
namespace printshop {

// The trim, in millimetres: the size the shop cuts the card to.
inline constexpr double TrimWidth = 90.0;
inline constexpr double TrimHeight = 50.0;
// Bleed on every side, in millimetres: 0 to 5 in steps of a half.
inline constexpr double DefaultBleed = 3.0;
inline constexpr double MaxBleed = 5.0;
inline constexpr double BleedStep = 0.5;
// Crop marks start this far outside the trim, or outside the bleed where
// that is wider, are this long, and are drawn in 100 % black at this width
// (points).
inline constexpr double CropMarkOffset = 3.0;
inline constexpr double CropMarkLength = 5.0;
inline constexpr double CropMarkWidthPt = 0.25;
// What the preflight holds a card to.
inline constexpr double MinPictureDpi = 300.0;
inline constexpr double MinTextPoints = 6.0;
inline constexpr double MinLinePoints = 0.25;
inline constexpr double SafeZone = 3.0;        // mm inside the trim
inline constexpr double MinQrModule = 0.4;     // mm
// Layers with transparency are flattened at this resolution.
inline constexpr double FlattenDpi = 600.0;

// The card in card pixels, 96 to the inch: a little narrower than the trim
// and a little taller.
inline constexpr QRectF Card{0, 0, 340, 190};

struct Options
{
    double bleed = DefaultBleed;  // one validBleed accepts
    bool cropMarks = false;
};

// Whether a bleed is one the shop's file may have (0 to MaxBleed, in steps
// of BleedStep).
bool validBleed(double millimetres);

// One page, in millimetres from the page's top-left corner: the paper (the
// bleed box, or larger with crop marks so that they fit), the trim and the
// bleed box on it, and where the card goes: scaled uniformly to the trim's
// width (so many millimetres to a card pixel) and centred on the trim; what
// is left of its height falls into the bleed.
struct Geometry
{
    QSizeF media;
    QRectF trim;
    QRectF bleed;
    double mmPerPixel = 0;
    QPointF cardOrigin;
};
Geometry geometry(const Options& options);

// The bleed box in card pixels (the card is 0,0 to 340,190).
QRectF bleedInCard(const Options& options);

// The crop marks, in millimetres on the page: two lines at each corner of
// the trim, along its edges, none unless asked for.
std::vector<QLineF> cropMarks(const Options& options);

// One card page on a painter in millimetres from the page's top-left
// corner: the card's layers in their order, those that reach a card edge
// carried on beyond it to the bleed's outer edge (shapes grown, pictures
// mirrored from their outer strip; inside their box they are as placed;
// text and QR codes never move), everything cut at the bleed box, and the
// crop marks when asked for. The card's white is the paper's. Nothing is
// drawn with transparency: a layer that is not opaque (a picture with
// pixels that are not, a drawing that blends) is drawn, with what lies
// under it where it lies, as one opaque picture at FlattenDpi.
void paintPage(QPainter& painter, const std::vector<LayerItem>& layers, const Options& options);

// The layers, by their place among the printables, that paintPage draws as
// one opaque picture.
std::vector<int> flattenedLayers(const std::vector<LayerItem>& layers);

// What a shop's preflight would object to in a card.
struct Finding
{
    int layer = -1;   // the layer's place among the card's printables, -1 for the card
    QString problem;  // for the user, in Hungarian, without the layer's name
};
std::vector<Finding> preflight(const std::vector<LayerItem>& layers, const Options& options);
// A finding as one line for the user, named by its layer: names are the
// printables' names (TqrLapora::PrintableNames).
QString describe(const Finding& finding, const std::vector<QString>& names);

// The job as a print shop's PDF/X-3: for each copy of the job (the card
// once, or each person of a merge) its front page, then its back page when
// the job has a back; title is the PDF's Title (the card's file name).
// Written to a temporary file and renamed over path only once complete;
// false when progress stopped it (path untouched); a PrintError when it
// cannot be made.
bool writePdf(const PrintJob& job, const Options& options, const QString& title, const std::string& path,
              Progress& progress = noProgress());

// The pages as Qt draws them, before their conversion: RGB, the paper in
// whole points. What the conversion starts from; the benchmarks time
// Ghostscript alone on it.
void writeDrawnPages(const PrintJob& job, const Options& options, const QString& path);

} // namespace printshop
