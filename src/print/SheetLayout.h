#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <array>

// The printed sheet in millimetres from the paper's top-left corner: an A4
// page with ten copies of the card in two columns of five, four corner
// marks to cut by on every copy, and a footer line.
namespace sheet {

// One card pixel on paper: a pixel of a display of 96 pixels per inch.
inline constexpr double MillimetresPerPixel = 25.4 / 96;
inline constexpr double MillimetresPerPoint = 25.4 / 72;

inline constexpr QSizeF Paper{210, 297};
inline constexpr double TopMargin = 10;
inline constexpr double LeftMargin = 15;
inline constexpr double ColumnWidth = 90;
inline constexpr int CopiesPerColumn = 5;
inline constexpr int Copies = 10;
// The band's height rounded to tenths, as the copies are stacked.
inline constexpr double CopyStep = 50.3;

// The card band: the white card of the surface, 340 × 190 pixels.
inline constexpr QSizeF CardBand{340 * MillimetresPerPixel, 190 * MillimetresPerPixel};

// The top-left corner of copy 1 … 10: down the first column, then down the
// second.
QPointF copyOrigin(int copy);

// A corner mark: an empty box that draws two of its edges, inside it, in
// grey, one point wide. Positions are from the band's top-left corner.
struct CornerMark
{
    const char* name;
    QRectF box;
    bool top;
    bool left;
    bool right;
    bool bottom;
};

inline constexpr QColor MarkColor{128, 128, 128};
inline constexpr double MarkLineWidth = MillimetresPerPoint;
std::array<CornerMark, 4> cornerMarks();
// The grey rectangles that a mark paints.
std::array<QRectF, 2> markLines(const CornerMark& mark);

// The footer band with its three captions, one line each, 1.058 mm below
// its top, in Courier New of 6 points.
inline constexpr QRectF Footer{LeftMargin, 281.4, 180, 5.556};
inline constexpr double FooterLabelDrop = 1.058;
inline constexpr double FooterFontPoints = 6;
inline constexpr const char* FooterLeft = "Laporam";
inline constexpr const char* FooterRight = "qrLapora";

// The maker's home page, printed in the middle of the footer.
inline constexpr const char* HomePage = "https://lapora.example.org";

} // namespace sheet
