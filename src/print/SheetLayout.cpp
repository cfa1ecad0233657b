#include "print/SheetLayout.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace sheet {

QPointF copyOrigin(int copy)
{
    return SheetLayout().placedCard(copy).topLeft();
}

std::array<CornerMark, 4> cornerMarks()
{
    return {{
        {"QRImage2", {0, 0, 1.323, 1.323}, true, true, false, false},
        {"QRImage4", {88.9, 0, 1.323, 1.323}, true, false, true, false},
        {"QRImage3", {0, 49.213, 1.323, 1.323}, false, true, false, true},
        {"QRImage1", {88.9, 49.213, 1.058, 1.058}, false, false, true, true},
    }};
}

std::array<QRectF, 2> markLines(const CornerMark& mark)
{
    const QRectF& box = mark.box;
    const double w = MarkLineWidth;
    const QRectF horizontal(box.left(), mark.top ? box.top() : box.bottom() - w, box.width(), w);
    const QRectF vertical(mark.left ? box.left() : box.right() - w, box.top(), w, box.height());
    return {horizontal, vertical};
}

std::vector<Placement> placements(int copies, int start, int perSheet)
{
    std::vector<Placement> placed;
    placed.reserve(std::max(0, copies));
    for (int i = 0; i < copies; ++i) {
        const int slot = start - 1 + i;
        placed.push_back({slot / perSheet, slot % perSheet + 1});
    }
    return placed;
}

int sheetCount(int copies, int start, int perSheet)
{
    return copies <= 0 ? 0 : (start - 1 + copies - 1) / perSheet + 1;
}

QPointF backOrigin(int position, Flip flip)
{
    return SheetLayout().backCard(position, flip).topLeft();
}

bool withinLimits(const Calibration& calibration)
{
    auto offsetFits = [](double mm) { return mm >= -MaxOffset && mm <= MaxOffset; };
    auto scaleFits = [](double percent) { return percent >= MinScale && percent <= MaxScale; };
    return offsetFits(calibration.offset.x()) && offsetFits(calibration.offset.y())
        && scaleFits(calibration.scale.x()) && scaleFits(calibration.scale.y());
}

QPointF calibrated(const Calibration& calibration, QPointF point)
{
    return {point.x() * calibration.scale.x() / 100 + calibration.offset.x(),
            point.y() * calibration.scale.y() / 100 + calibration.offset.y()};
}

// The printer puts the crosses at a = A k + d and b = B k + d; drawing
// p × (1 / k) − d / k puts every point where it belongs.
Calibration calibrationFromReadings(QPointF topLeft, QPointF bottomRight, QSizeF paper)
{
    const QPointF a = topLeft;
    const QPointF b(paper.width() - bottomRight.x(), paper.height() - bottomRight.y());
    const QPointF crossAt(paper.width() - (Paper.width() - CalibrationBottomRight.x()),
                          paper.height() - (Paper.height() - CalibrationBottomRight.y()));
    const QPointF nominal = crossAt - CalibrationTopLeft;
    const double kx = (b.x() - a.x()) / nominal.x();
    const double ky = (b.y() - a.y()) / nominal.y();
    if (kx <= 0 || ky <= 0)
        throw CalibrationError("A mért értékek nem lehetnek ilyenek: a jobb alsó kereszt nem eshet a bal felső "
                               "elé. Mérje meg újra a két keresztet.");
    const double dx = a.x() - CalibrationTopLeft.x() * kx;
    const double dy = a.y() - CalibrationTopLeft.y() * ky;
    const Calibration result{{-dx / kx, -dy / ky}, {100 / kx, 100 / ky}};
    if (!withinLimits(result))
        throw CalibrationError("A mért értékekből adódó eltolás vagy nagyítás a megengedetten (±20 mm, 90–110 %) "
                               "kívül esik. Mérje meg újra a két keresztet, a papír széleitől.");
    return result;
}

QSizeF paperSize(PaperSize paper)
{
    return paper == PaperSize::Letter ? LetterPaper : Paper;
}

} // namespace sheet

namespace {

constexpr double Inch = 25.4;
// A stock card smaller than this is no business card.
constexpr double SmallestCard = 20;

SheetLayout stock(const char* name, sheet::PaperSize paper, int columns, int rows, QPointF first, QPointF pitch,
                  QSizeF card)
{
    return {QString::fromUtf8(name), paper, columns, rows, first, pitch, card, false};
}

QString mm(double value)
{
    return QString::number(value, 'g', 6);
}

} // namespace

QRectF SheetLayout::stockCard(int position) const
{
    const int column = (position - 1) / rows;
    const int row = (position - 1) % rows;
    return {QPointF(first.x() + column * pitch.x(), first.y() + row * pitch.y()), card};
}

double SheetLayout::cardScale() const
{
    const QSizeF band = sheet::CardBand;
    if (card.width() >= band.width() - Tolerance && card.height() >= band.height() - Tolerance)
        return 1;
    return std::min({1.0, card.width() / band.width(), card.height() / band.height()});
}

QRectF SheetLayout::placedCard(int position) const
{
    const QRectF stock = stockCard(position);
    const QSizeF size = sheet::CardBand * cardScale();
    const QSizeF around = (stock.size() - size) / 2;
    return {stock.topLeft() + QPointF(around.width(), around.height()), size};
}

QRectF SheetLayout::backCard(int position, sheet::Flip flip) const
{
    const QRectF front = placedCard(position);
    const QSizeF paper = paperSize();
    if (flip == sheet::Flip::Long)
        return {QPointF(paper.width() - front.x() - front.width(), front.y()), front.size()};
    return {QPointF(front.x(), paper.height() - front.y() - front.height()), front.size()};
}

std::optional<QRectF> SheetLayout::footer() const
{
    const QSizeF paper = paperSize();
    const QRectF band = sheet::Footer.translated((paper.width() - sheet::Paper.width()) / 2,
                                                 paper.height() - sheet::Paper.height());
    const double lastRow = first.y() + (rows - 1) * pitch.y() + card.height();
    if (lastRow > band.top())
        return std::nullopt;
    return band;
}

const std::vector<SheetLayout>& builtInSheets()
{
    using sheet::PaperSize;
    static const std::vector<SheetLayout> sheets = {
        SheetLayout(),
        stock("Rayfilm VIZ1", PaperSize::A4, 2, 5, {15, 23.5}, {90, 50}, {90, 50}),
        stock("Rayfilm VIZ2", PaperSize::A4, 2, 5, {15, 13.5}, {90, 55}, {90, 50}),
        stock("Avery L7414", PaperSize::A4, 2, 5, {15, 18.5}, {90, 52}, {90, 52}),
        stock("Avery Zweckform C32010, C32011", PaperSize::A4, 2, 5, {15, 13.5}, {95, 54}, {85, 54}),
        stock("Avery Zweckform C32015", PaperSize::A4, 2, 4, {17, 31.5}, {91, 60}, {85, 54}),
        stock("Avery 5371, 8371", PaperSize::Letter, 2, 5, {0.75 * Inch, 0.5 * Inch}, {3.5 * Inch, 2 * Inch},
              {3.5 * Inch, 2 * Inch}),
    };
    return sheets;
}

SheetLayout sheetNamed(const QString& name)
{
    for (const SheetLayout& layout : builtInSheets())
        if (layout.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return layout;
    throw SheetError(QStringLiteral("nincs ilyen lap: %1 (a lapokat a lapora-cli sheets sorolja fel)")
                         .arg(name)
                         .toStdString());
}

QString paperName(sheet::PaperSize paper)
{
    return paper == sheet::PaperSize::Letter ? QStringLiteral("Letter") : QStringLiteral("A4");
}

// Each fault names the value at fault, in one line.
std::optional<QString> sheetFault(const SheetLayout& layout)
{
    const double values[] = {layout.first.x(), layout.first.y(), layout.pitch.x(), layout.pitch.y(),
                             layout.card.width(), layout.card.height()};
    if (!std::all_of(std::begin(values), std::end(values), [](double value) { return std::isfinite(value); }))
        return QStringLiteral("a méretek milliméterben megadott számok");
    if (layout.columns < 1 || layout.rows < 1)
        return QStringLiteral("legalább egy oszlop és egy sor kell, nem %1x%2").arg(layout.columns).arg(layout.rows);
    if (!(layout.card.width() >= SmallestCard && layout.card.height() >= SmallestCard))
        return QStringLiteral("a kártya legalább %1 × %1 mm, nem %2 × %3 mm")
                   .arg(mm(SmallestCard), mm(layout.card.width()), mm(layout.card.height()));
    if (layout.columns > 1 && layout.pitch.x() < layout.card.width())
        return QStringLiteral("a vízszintes lépés (%1 mm) kisebb a kártya szélességénél (%2 mm), a kártyák "
                              "egymásra kerülnének")
                   .arg(mm(layout.pitch.x()), mm(layout.card.width()));
    if (layout.rows > 1 && layout.pitch.y() < layout.card.height())
        return QStringLiteral("a függőleges lépés (%1 mm) kisebb a kártya magasságánál (%2 mm), a kártyák "
                              "egymásra kerülnének")
                   .arg(mm(layout.pitch.y()), mm(layout.card.height()));
    if (layout.first.x() < 0 || layout.first.y() < 0)
        return QStringLiteral("a bal és a felső margó nem lehet negatív, nem %1, %2 mm")
                   .arg(mm(layout.first.x()), mm(layout.first.y()));
    // In doubles: a grid of any size is refused here, before its card count
    // is taken.
    const QSizeF paper = layout.paperSize();
    const double right = layout.first.x() + (layout.columns - 1.0) * layout.pitch.x() + layout.card.width();
    const double bottom = layout.first.y() + (layout.rows - 1.0) * layout.pitch.y() + layout.card.height();
    if (!(right <= paper.width() + 1e-9 && bottom <= paper.height() + 1e-9))
        return QStringLiteral("a kártyák lelógnak a papírról: %1 × %2 mm-ig érnek, a papír (%3) %4 × %5 mm")
                   .arg(mm(right), mm(bottom), paperName(layout.paper), mm(paper.width()), mm(paper.height()));
    return std::nullopt;
}

void checkSheet(const SheetLayout& layout)
{
    if (const std::optional<QString> fault = sheetFault(layout))
        throw SheetError(("hibás lap: " + *fault).toStdString());
}
