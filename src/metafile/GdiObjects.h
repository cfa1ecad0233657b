#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <QVector>

#include <memory>
#include <variant>

// The drawing objects a metafile creates and selects, as plain values: the
// device context copies them when they are selected, so deleting one later
// does not change what is already selected.
struct GdiPen
{
    int style = 0;            // gdi::PenSolid and the other styles
    double width = 0.0;       // logical units; 0 draws one device pixel
    bool cosmetic = true;
    QColor color = Qt::black;
    std::uint32_t cap = 0;    // gdi::PenEndCap*
    std::uint32_t join = 0;   // gdi::PenJoin*
    QVector<qreal> dashes;    // logical units, for gdi::PenUserStyle
};

struct GdiBrush
{
    int style = 0;            // gdi::BrushSolid, BrushNull or BrushHatched
    QColor color = Qt::white;
    int hatch = 0;            // gdi::Hatch*
};

struct GdiFont
{
    QString face;
    int height = 0;           // logical units; negative gives the character height
    int width = 0;
    int escapement = 0;       // tenths of a degree, counter-clockwise
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 1;
};

// A clip region for a later select; rectangles in the units its record names.
struct GdiRegion
{
    QVector<QRectF> rects;
};

// Palettes and objects this player does not draw with still take a slot.
struct GdiPlaceholder
{
};

using GdiObject = std::variant<GdiPlaceholder, GdiPen, GdiBrush, std::shared_ptr<const GdiFont>, GdiRegion>;
