#include "editor/ImageList.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <optional>

namespace {

// Colours of the icon theme, so that painted pictures sit well beside its own.
const QColor Ink(0x2e, 0x34, 0x36);
const QColor Grey(0x88, 0x8a, 0x85);
const QColor Blue(0x34, 0x65, 0xa4);
const QColor DarkBlue(0x20, 0x4a, 0x87);
const QColor LightBlue(0x72, 0x9f, 0xcf);
const QColor Red(0xcc, 0x00, 0x00);
const QColor Orange(0xf5, 0x79, 0x00);
const QColor Green(0x4e, 0x9a, 0x06);

constexpr int Size = ImageList::Size;

constexpr int FirstPattern = 29;
constexpr int FirstWidth = 36;
constexpr int MaxWidth = 7;
constexpr int FirstLineStyle = 43;

// In the order of the indexes from FirstPattern on; FDiag is the pattern of
// lines running down from left to right.
constexpr std::array<Qt::BrushStyle, 7> Patterns = {
    Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern, Qt::BDiagPattern,
    Qt::CrossPattern, Qt::DiagCrossPattern, Qt::SolidPattern};

constexpr std::array<Qt::PenStyle, 5> LineStyles = {
    Qt::SolidLine, Qt::DashDotLine, Qt::DashLine, Qt::DashDotDotLine, Qt::DotLine};

// Filled rectangles rather than pen strokes keep every edge on whole pixels.
void box(QPainter& p, const QRect& r, const QColor& line, const QColor& fill)
{
    p.fillRect(r, line);
    p.fillRect(r.adjusted(1, 1, -1, -1), fill);
}

void window(QPainter& p, const QRect& r)
{
    box(p, r, Ink, Qt::white);
    p.fillRect(r.left() + 1, r.top() + 1, r.width() - 2, 2, Blue);
}

// Qt's own 8 x 8 patterns leave a line or two in so small a box, so the
// lines are set closer here.
bool patternInk(Qt::BrushStyle style, int x, int y)
{
    const bool across = y % 3 == 0;
    const bool down = x % 3 == 0;
    const bool falling = (x - y + Size) % 5 == 0;
    const bool rising = (x + y) % 5 == 0;
    switch (style) {
    case Qt::HorPattern:
        return across;
    case Qt::VerPattern:
        return down;
    case Qt::FDiagPattern:
        return falling;
    case Qt::BDiagPattern:
        return rising;
    case Qt::CrossPattern:
        return across || down;
    case Qt::DiagCrossPattern:
        return falling || rising;
    default:
        return true;
    }
}

void patternBox(QPainter& p, Qt::BrushStyle style)
{
    const QRect outer(1, 1, 14, 14);
    box(p, outer, Ink, Qt::white);
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    for (int y = inner.top(); y <= inner.bottom(); ++y)
        for (int x = inner.left(); x <= inner.right(); ++x)
            if (patternInk(style, x, y))
                p.fillRect(x, y, 1, 1, Ink);
}

void lineWidth(QPainter& p, int width)
{
    p.fillRect(1, 8 - (width + 1) / 2, 14, width, Ink);
}

// A QR code in small: three finder squares and a few modules.
void qrCode(QPainter& p)
{
    p.fillRect(1, 1, 14, 14, Qt::white);
    for (const QPoint corner : {QPoint(1, 1), QPoint(10, 1), QPoint(1, 10)}) {
        box(p, QRect(corner, QSize(5, 5)), Ink, Qt::white);
        p.fillRect(QRect(corner + QPoint(2, 2), QSize(1, 1)), Ink);
    }
    for (const QPoint module : {QPoint(7, 2), QPoint(8, 4), QPoint(7, 7), QPoint(10, 8), QPoint(12, 7), QPoint(8, 10),
                                QPoint(11, 11), QPoint(13, 10), QPoint(9, 13), QPoint(12, 13), QPoint(14, 14),
                                QPoint(2, 8), QPoint(4, 7)})
        p.fillRect(QRect(module, QSize(1, 1)), Ink);
}

// A lens with a plus (in) or a minus (out).
void magnifier(QPainter& p, bool in)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Ink, 1.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    p.setPen(QPen(Ink, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14, 14));
    p.restore();
    p.fillRect(4, 5, 5, 1, Ink);
    if (in)
        p.fillRect(6, 3, 1, 5, Ink);
}

// A box in the middle of the card, with the centre line it sits on.
void centred(QPainter& p, Qt::Orientation along)
{
    box(p, QRect(1, 1, 14, 14), Grey, Qt::white);
    if (along == Qt::Horizontal) {
        box(p, QRect(4, 5, 8, 6), DarkBlue, LightBlue);
        p.fillRect(7, 1, 2, 14, Red);
    } else {
        box(p, QRect(5, 4, 6, 8), DarkBlue, LightBlue);
        p.fillRect(1, 7, 14, 2, Red);
    }
}

// Two rows, because a single dotted row is hard to see in a menu.
void lineStyle(QPainter& p, Qt::PenStyle style)
{
    p.setPen(QPen(Ink, 1, style, Qt::FlatCap));
    p.drawLine(1, 7, 14, 7);
    p.drawLine(1, 8, 14, 8);
}

// Drawn from strokes, so that it looks the same whatever fonts are installed.
void letterA(QPainter& p, const QRectF& r, qreal penWidth)
{
    const qreal middle = r.center().x();
    const qreal barY = r.top() + r.height() * 0.65;
    const qreal barHalf = r.width() / 2 * 0.65;
    QPainterPath path;
    path.moveTo(r.left(), r.bottom());
    path.lineTo(middle, r.top());
    path.lineTo(r.right(), r.bottom());
    path.moveTo(middle - barHalf, barY);
    path.lineTo(middle + barHalf, barY);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Ink, penWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPath(path);
    p.restore();
}

void colourBar(QPainter& p, const QColor& colour)
{
    p.fillRect(1, 13, 14, 3, colour);
}

void digitOne(QPainter& p, int left)
{
    p.fillRect(left + 1, 3, 2, 10, Ink);
    p.fillRect(left, 4, 1, 2, Ink);
    p.fillRect(left, 12, 4, 1, Ink);
}

// A small business card: the program's own picture.
void card(QPainter& p)
{
    p.fillRect(QRect(1, 4, 15, 9), QColor(0, 0, 0, 70));
    box(p, QRect(0, 3, 15, 9), Ink, Qt::white);
    p.fillRect(2, 5, 3, 3, Orange);
    p.fillRect(6, 5, 7, 1, Blue);
    p.fillRect(6, 7, 5, 1, Grey);
    p.fillRect(2, 9, 11, 1, Grey);
}

// A card with the crop marks at its corners, as a print shop cuts it.
void croppedCard(QPainter& p)
{
    box(p, QRect(3, 4, 10, 8), DarkBlue, LightBlue);
    for (int x : {1, 14}) {
        p.fillRect(x, 0, 1, 3, Ink);
        p.fillRect(x, 13, 1, 3, Ink);
    }
    for (int y : {2, 13}) {
        p.fillRect(0, y, 3, 1, Ink);
        p.fillRect(13, y, 3, 1, Ink);
    }
}

// A card in its dashed bleed, the safe zone dotted inside it.
void cutLines(QPainter& p)
{
    for (int x = 0; x < Size; x += 3) {
        p.fillRect(x, 1, 2, 1, Red);
        p.fillRect(x, 14, 2, 1, Red);
    }
    for (int y = 1; y < 15; y += 3) {
        p.fillRect(0, y, 1, 2, Red);
        p.fillRect(15, y, 1, 2, Red);
    }
    box(p, QRect(2, 3, 12, 10), Ink, Qt::white);
    for (int x = 5; x <= 10; x += 2) {
        p.fillRect(x, 5, 1, 1, Green);
        p.fillRect(x, 10, 1, 1, Green);
    }
    for (int y = 7; y <= 8; ++y) {
        p.fillRect(4, y, 1, 1, Green);
        p.fillRect(11, y, 1, 1, Green);
    }
}

// Two boxes lined up on the red edge or centre line they share: from
// FirstAlignment on, left, horizontal centre, right, top, vertical centre,
// bottom.
constexpr int FirstAlignment = 79;

void alignment(QPainter& p, int which)
{
    const bool across = which < 3;  // lined up along a vertical line
    const int place = which % 3;    // 0: start, 1: centre, 2: end
    const int longer = 11;
    const int shorter = 7;
    auto start = [&](int length) { return place == 0 ? 3 : place == 1 ? 8 - length / 2 : 13 - length; };
    auto bar = [&](int offset, int length) {
        const QRect r = across ? QRect(start(length), offset, length, 5) : QRect(offset, start(length), 5, length);
        box(p, r, DarkBlue, LightBlue);
    };
    bar(2, longer);
    bar(9, shorter);
    const int line = place == 0 ? 1 : place == 1 ? 7 : 13;
    if (across)
        p.fillRect(line, 0, 2, 16, Red);
    else
        p.fillRect(0, line, 16, 2, Red);
}

// Three boxes with equal gaps, across (85) or down (86).
void distribution(QPainter& p, bool across)
{
    for (int n = 0; n < 3; ++n) {
        const QRect r = across ? QRect(1 + n * 5, 3, 4, 10) : QRect(3, 1 + n * 5, 10, 4);
        box(p, r, DarkBlue, LightBlue);
    }
    if (across)
        p.fillRect(0, 14, 16, 1, Red);
    else
        p.fillRect(14, 0, 1, 16, Red);
}

void paintPicture(QPainter& p, int index)
{
    if (index >= FirstAlignment && index < FirstAlignment + 6) {
        alignment(p, index - FirstAlignment);
        return;
    }
    if (index == FirstAlignment + 6 || index == FirstAlignment + 7) {
        distribution(p, index == FirstAlignment + 6);
        return;
    }
    if (index >= FirstPattern && index < FirstPattern + int(Patterns.size())) {
        patternBox(p, Patterns[index - FirstPattern]);
        return;
    }
    if (index >= FirstWidth && index < FirstWidth + MaxWidth) {
        lineWidth(p, index - FirstWidth + 1);
        return;
    }
    if (index >= FirstLineStyle && index < FirstLineStyle + int(LineStyles.size())) {
        lineStyle(p, LineStyles[index - FirstLineStyle]);
        return;
    }

    switch (index) {
    case 7:
        window(p, QRect(0, 1, 8, 14));
        window(p, QRect(8, 1, 8, 14));
        break;
    case 8:
        window(p, QRect(1, 0, 14, 8));
        window(p, QRect(1, 8, 14, 8));
        break;
    case 9:
        window(p, QRect(0, 0, 10, 9));
        window(p, QRect(3, 3, 10, 9));
        window(p, QRect(6, 6, 10, 9));
        break;
    case 21:
        letterA(p, QRectF(3, 1.5, 10, 9.5), 2);
        colourBar(p, Red);
        break;
    case 22:
        card(p);
        break;
    case 48:
        box(p, QRect(1, 3, 14, 10), DarkBlue, LightBlue);
        break;
    case 49:
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(DarkBlue, 1));
        p.setBrush(LightBlue);
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        break;
    case 50:
        box(p, QRect(2, 1, 12, 10), Ink, Grey);
        colourBar(p, Orange);
        break;
    case 51:
        box(p, QRect(2, 1, 12, 10), Ink, Ink);
        p.fillRect(4, 3, 8, 6, Qt::white);
        colourBar(p, Blue);
        break;
    case 52:
        digitOne(p, 1);
        p.fillRect(7, 5, 2, 2, Ink);
        p.fillRect(7, 10, 2, 2, Ink);
        digitOne(p, 11);
        break;
    case 54:
        letterA(p, QRectF(1, 3, 10, 11), 2);
        p.fillRect(10, 2, 6, 2, Green);
        p.fillRect(12, 0, 2, 6, Green);
        break;
    case 55:
        letterA(p, QRectF(2, 6, 7, 8), 1.5);
        p.fillRect(10, 2, 6, 2, Red);
        break;
    case 66:
        qrCode(p);
        break;
    case 68:
    case 69:
        magnifier(p, index == 68);
        break;
    case 70:
        digitOne(p, 1);
        p.fillRect(7, 5, 2, 2, Ink);
        p.fillRect(7, 10, 2, 2, Ink);
        digitOne(p, 11);
        p.fillRect(0, 14, 16, 2, Blue);
        break;
    case 71:
    case 72:
        centred(p, index == 71 ? Qt::Horizontal : Qt::Vertical);
        break;
    case 73:
        box(p, QRect(1, 1, 10, 9), DarkBlue, LightBlue);
        box(p, QRect(5, 6, 10, 9), DarkBlue, LightBlue);
        break;
    case 77:
        croppedCard(p);
        break;
    case 78:
        cutLines(p);
        break;
    default:
        // The unused indexes stay empty.
        break;
    }
}

QPixmap makePixmap(int index)
{
    // Pictures from the icon theme are compiled in under their index.
    const QString name = QStringLiteral(":/images/%1.png").arg(index, 2, 10, QLatin1Char('0'));
    if (QFile::exists(name))
        return QPixmap(name);
    QImage image(Size, Size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    paintPicture(p, index);
    p.end();
    return QPixmap::fromImage(image);
}

struct Picture
{
    QPixmap pixmap;
    QIcon icon;
};

const Picture& picture(int index)
{
    static std::array<std::optional<Picture>, ImageList::Count> pictures;
    auto& slot = pictures[index];
    if (!slot) {
        QPixmap pixmap = makePixmap(index);
        slot = Picture{pixmap, QIcon(pixmap)};
    }
    return *slot;
}

bool inRange(int index)
{
    return index >= 0 && index < ImageList::Count;
}

} // namespace

const QIcon& ImageList::icon(int index)
{
    static const QIcon none;
    return inRange(index) ? picture(index).icon : none;
}

QPixmap ImageList::pixmap(int index)
{
    return inRange(index) ? picture(index).pixmap : QPixmap();
}
