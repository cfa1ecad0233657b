#pragma once

#include "layer/LayerCodes.h"
#include "layer/LayerLook.h"
#include "layer/LayerPicture.h"
#include "layer/QrPicture.h"
#include "storage/LayerTable.h"

#include <QRect>

#include <optional>
#include <string>

class QPainter;

// Everything needed to draw one layer, read from its record. The card
// surface, the printed sheet and lapora-cli draw the same items with the
// same function, so what is printed is what was on screen.
struct LayerItem
{
    LayerKind kind = LayerKind::Text;
    // In card pixels from the card's top-left pixel; a text's box is exactly
    // as large as its text.
    QRect box;
    TextLook text;
    ShapeLook shape;
    LayerPicture picture;
    // The picture's own size in pixels as its file holds it, whatever size
    // it was decoded at (for paper no finer than 600 dots per inch of its
    // box, for the surface at the size shown); empty for a drawing.
    QSize pictureSource;
    // A picture that is a QR code the program made: drawn from its modules,
    // square and sharp, whatever the stretch says.
    std::optional<QrPicture> qr;
    bool stretch = false;
    // Why the picture is missing (the decoder's message), or empty. A layer
    // whose picture cannot be shown is still a layer: the surface shows it
    // as a placeholder, the print refuses it.
    std::string pictureError;
};

// How a picture is decoded: at the size the surface shows it (and kept in
// the picture cache), or for paper, kept out of that cache: a stretched
// picture at its own size, or at 600 dots per inch of its box where that is
// less (no printer shows more, and a photo of a camera's size would only
// slow the job down and swell the PDF); one at its own size as far as its
// box reaches.
enum class PictureScale { Display, Paper };

// The finest a printed picture is decoded at, in dots per card pixel.
inline constexpr double PaperDotsPerPixel = 600.0 / 96.0;

// The card itself, in card pixels: what is printed and cut.
inline constexpr QRect CardArea{0, 0, 340, 190};

// The card box of a card window: no more of a layer than this is ever seen
// on the surface.
inline constexpr QSize SurfaceSize{369, 233};

// The item of the record at the table's cursor; nothing for kind codes that
// draw nothing.
std::optional<LayerItem> readLayerItem(LayerRef table, PictureScale scale);

// The box of a picture or shape layer: its left, top, width and height, a
// negative size counting as none.
QRect readLayerBox(LayerRef table);

// The picture of the record at the cursor, decoded for a box of that size.
// Throws PictureError when it cannot be decoded.
LayerPicture readLayerPicture(LayerRef table, PictureScale scale, QSize box, bool stretch);
// A picture's bytes decoded for the surface at a density of device pixels
// per card pixel (the zoom times the screen's device pixel ratio): a
// stretched one at its box's size at that density, up to the card box's;
// one at its own size and a drawing as for any density.
LayerPicture surfacePicture(const std::string& bytes, const std::string& extension, QSize box, bool stretch,
                            double density);

// Draws the item into box (in the painter's units), which is item.box for
// the sheet and the element's own rectangle on the surface.
void paintLayer(QPainter& painter, const LayerItem& item, const QRect& box);
