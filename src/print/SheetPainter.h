#pragma once

#include "layer/LayerItem.h"
#include "print/SheetLayout.h"

#include <vector>

class QPaintDevice;
class QPainter;

// The one routine that puts the sheet on paper, in the preview, in a PDF
// and in a picture: whatever the device, what it shows is the card window's
// card at 96 pixels per inch.

// Sets the painter to millimetres from the page's top-left corner.
void useMillimetres(QPainter& painter, const QPaintDevice& device);

// The card alone, on a painter in card pixels: white, then the layers.
void paintCard(QPainter& painter, const std::vector<LayerItem>& layers);

// One copy on a painter in millimetres: the white band at origin, drawn
// at a scale, its corner marks where asked for, the layers cut at the band.
void paintCopy(QPainter& painter, const std::vector<LayerItem>& layers, QPointF origin, double scale = 1,
               bool marks = true);
// The footer line at the foot of a front page, in its band.
void paintSheetFooter(QPainter& painter, const QRectF& band = sheet::Footer);
