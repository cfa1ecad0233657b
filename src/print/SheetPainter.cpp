#include "print/SheetPainter.h"

#include "print/SheetLayout.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace {

// Fonts take whole pixel sizes in the painter's units, so the footer is
// written in hundredths of a millimetre.
constexpr double TextUnitsPerMillimetre = 100;

void paintMarks(QPainter& painter)
{
    for (const sheet::CornerMark& mark : sheet::cornerMarks())
        for (const QRectF& line : sheet::markLines(mark))
            painter.fillRect(line, sheet::MarkColor);
}

void paintLayers(QPainter& painter, const std::vector<LayerItem>& layers)
{
    for (const LayerItem& layer : layers)
        paintLayer(painter, layer, layer.box);
}

} // namespace

void paintSheetFooter(QPainter& painter, const QRectF& band)
{
    painter.save();
    painter.fillRect(band, Qt::white);
    painter.scale(1 / TextUnitsPerMillimetre, 1 / TextUnitsPerMillimetre);
    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(int(std::lround(sheet::FooterFontPoints * sheet::MillimetresPerPoint * TextUnitsPerMillimetre)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QRectF footer(band.left() * TextUnitsPerMillimetre,
                        (band.top() + sheet::FooterLabelDrop) * TextUnitsPerMillimetre,
                        band.width() * TextUnitsPerMillimetre,
                        QFontMetricsF(font).height());
    const int line = Qt::AlignTop | Qt::TextSingleLine;
    painter.drawText(footer, line | Qt::AlignLeft, QString::fromLatin1(sheet::FooterLeft));
    painter.drawText(footer, line | Qt::AlignHCenter, QString::fromLatin1(sheet::HomePage));
    painter.drawText(footer, line | Qt::AlignRight, QString::fromLatin1(sheet::FooterRight));
    painter.restore();
}

void useMillimetres(QPainter& painter, const QPaintDevice& device)
{
    painter.scale(device.logicalDpiX() / 25.4, device.logicalDpiY() / 25.4);
}

void paintCopy(QPainter& painter, const std::vector<LayerItem>& layers, QPointF origin, double scale, bool marks)
{
    const QRectF band(QPointF(0, 0), sheet::CardBand);
    painter.save();
    painter.translate(origin);
    // A smaller stock card takes the whole card, marks and all, shrunk.
    if (scale != 1)
        painter.scale(scale, scale);
    painter.fillRect(band, Qt::white);
    if (marks)
        paintMarks(painter);
    // A layer reaching beyond the card is cut at its band, so that no copy
    // draws over its neighbours.
    painter.setClipRect(band, Qt::IntersectClip);
    painter.scale(sheet::MillimetresPerPixel, sheet::MillimetresPerPixel);
    paintLayers(painter, layers);
    painter.restore();
}

void paintCard(QPainter& painter, const std::vector<LayerItem>& layers)
{
    painter.save();
    painter.fillRect(QRectF(0, 0, 340, 190), Qt::white);
    painter.setClipRect(QRectF(0, 0, 340, 190), Qt::IntersectClip);
    paintLayers(painter, layers);
    painter.restore();
}
