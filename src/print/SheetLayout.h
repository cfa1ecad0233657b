#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <array>
#include <optional>
#include <stdexcept>
#include <vector>

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

// Where a copy goes: which sheet of the job (from 0) and which position on
// it (1 … 10, in the order of the copies).
struct Placement
{
    int sheet = 0;
    int position = 1;

    friend bool operator==(const Placement&, const Placement&) = default;
};

inline constexpr int MaxCopies = 1000;

// The copies of a job: from the start position on on the first sheet, then
// further sheets from position 1, a sheet holding perSheet copies.
std::vector<Placement> placements(int copies, int start, int perSheet = Copies);
int sheetCount(int copies, int start, int perSheet = Copies);

// The edge a sheet is turned over to print its back: the long edge (left
// and right change places) or the short one (top and bottom do).
enum class Flip { Long, Short };

// The top-left corner, on the back page, of the card that lies behind the
// front's copy at a position once the sheet is turned over the edge: the
// card's own box mirrored, the card upright.
QPointF backOrigin(int position, Flip flip);

// How a printer shifts and scales what it prints, answered in advance: the
// point p (mm from the sheet's top-left corner) is drawn at
// p × scale / 100 + offset.
struct Calibration
{
    QPointF offset{0, 0};     // mm, −20 … 20
    QPointF scale{100, 100};  // percent, 90 … 110

    friend bool operator==(const Calibration&, const Calibration&) = default;
};

inline constexpr double MaxOffset = 20;
inline constexpr double MinScale = 90;
inline constexpr double MaxScale = 110;

bool withinLimits(const Calibration& calibration);
QPointF calibrated(const Calibration& calibration, QPointF point);

// A printer's calibration for the front and the back (duplex units shift
// the back differently).
struct PrinterCalibration
{
    Calibration front;
    Calibration back;

    friend bool operator==(const PrinterCalibration&, const PrinterCalibration&) = default;
};

// The calibration sheet: a cross near the top-left corner and one near the
// bottom-right corner, 20 mm from the edges.
inline constexpr QPointF CalibrationTopLeft{20, 20};
inline constexpr QPointF CalibrationBottomRight{190, 277};

// From what the user measured on the printed calibration sheet: the
// top-left cross's distance from the paper's left and top edges, and the
// bottom-right cross's from its right and bottom edges. The calibration
// that makes the crosses land where they belong. Throws CalibrationError
// with its message where the readings give one beyond the limits. The
// bottom-right cross sits as far from the corner of any paper.
Calibration calibrationFromReadings(QPointF topLeft, QPointF bottomRight, QSizeF paper = Paper);

enum class PaperSize { A4, Letter };
inline constexpr QSizeF LetterPaper{215.9, 279.4};
QSizeF paperSize(PaperSize paper);

} // namespace sheet

// A sheet of card stock, in millimetres from the paper's top-left corner:
// its paper, the grid of its stock cards (the first one's corner and the
// step to the next column and row) and the stock card's size. Our card
// goes into each stock card centred, at its own size where the stock card
// takes it within a tolerance, else scaled down to fit. The default is the
// program's own sheet, whose stock card is the card itself.
struct SheetLayout
{
    QString name = QStringLiteral("Lapora A4, 10");
    sheet::PaperSize paper = sheet::PaperSize::A4;
    int columns = 2;
    int rows = sheet::CopiesPerColumn;
    QPointF first{sheet::LeftMargin, sheet::TopMargin};
    QPointF pitch{sheet::ColumnWidth, sheet::CopyStep};
    QSizeF card = sheet::CardBand;
    bool marks = true;

    // A stock card this much smaller than ours still takes it at full size.
    static constexpr double Tolerance = 0.5;

    int cardCount() const { return columns * rows; }
    QSizeF paperSize() const { return sheet::paperSize(paper); }
    // The stock card at a position (1 … cardCount, down the first column,
    // then down the next).
    QRectF stockCard(int position) const;
    // The factor our card is drawn at: 1, or less where the stock card is
    // smaller than the tolerance allows.
    double cardScale() const;
    // Our card as placed on the front at a position, and on the back page
    // behind it once the sheet is turned over the edge.
    QRectF placedCard(int position) const;
    QRectF backCard(int position, sheet::Flip flip) const;
    // The footer band, moved with the paper's foot, where it fits below the
    // last row of stock cards.
    std::optional<QRectF> footer() const;

    friend bool operator==(const SheetLayout&, const SheetLayout&) = default;
};

// The layouts of the card stock the program knows, the default first.
const std::vector<SheetLayout>& builtInSheets();
// A known layout by its name, in any case; a SheetError where there is none.
SheetLayout sheetNamed(const QString& name);
// "A4" or "Letter".
QString paperName(sheet::PaperSize paper);
// What makes a layout unprintable, in one line: no rows or columns, a card
// below 20 mm, stock cards that overlap or leave the paper; nothing for a
// good one.
std::optional<QString> sheetFault(const SheetLayout& layout);
// Refuses a layout with a fault: a SheetError "hibás lap: " and the fault.
void checkSheet(const SheetLayout& layout);

// A sheet that cannot be used; what() is the message for the user, one
// line.
class SheetError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A calibration that cannot be kept; what() is the message for the user.
class CalibrationError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
