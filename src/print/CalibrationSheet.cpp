#include "print/PrintJob.h"

#include "print/SheetLayout.h"

#include <QFont>
#include <QPainter>

namespace {

// Text is written in tenths of a millimetre: fonts take whole sizes.
constexpr double TextUnits = 10;
constexpr double LineWidth = 0.2;
constexpr double CrossArm = 5;
constexpr double LabelHeight = 2.2;

void text(QPainter& painter, const QRectF& box, const QString& line, double heightMm, int flags, bool bold = false)
{
    painter.save();
    painter.scale(1 / TextUnits, 1 / TextUnits);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(int(heightMm * TextUnits));
    font.setBold(bold);
    painter.setFont(font);
    const QRectF scaled(box.topLeft() * TextUnits, box.size() * TextUnits);
    painter.drawText(scaled, flags | Qt::TextDontClip, line);
    painter.restore();
}

void cross(QPainter& painter, QPointF at)
{
    painter.drawLine(at - QPointF(CrossArm, 0), at + QPointF(CrossArm, 0));
    painter.drawLine(at - QPointF(0, CrossArm), at + QPointF(0, CrossArm));
    painter.drawEllipse(at, 1.2, 1.2);
}

// A millimetre ruler from one point in one direction, its ticks to one
// side: every millimetre, longer every five, numbered every ten by the
// value at that tick.
void ruler(QPainter& painter, QPointF from, QPointF along, QPointF side, int length, double firstValue,
           double valuePerMm)
{
    painter.drawLine(from, from + along * length);
    for (int mm = 0; mm <= length; ++mm) {
        const double tick = mm % 10 == 0 ? 3 : (mm % 5 == 0 ? 2 : 1.2);
        const QPointF at = from + along * mm;
        painter.drawLine(at, at + side * tick);
        const double value = firstValue + valuePerMm * mm;
        if (mm % 10 != 0 || value < 0)
            continue;
        const QPointF label = at + side * (tick + 2.2);
        text(painter, QRectF(label - QPointF(4, LabelHeight / 2 + 0.3), QSizeF(8, LabelHeight + 0.6)),
             QString::number(value), LabelHeight, Qt::AlignCenter);
    }
}

} // namespace

void paintCalibrationSheet(QPainter& painter, const SheetLayout& layout)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(170, 170, 170), LineWidth));
    painter.setBrush(Qt::NoBrush);
    for (int position = 1; position <= layout.cardCount(); ++position)
        painter.drawRect(layout.placedCard(position));

    painter.setPen(QPen(Qt::black, LineWidth));
    const double width = layout.paperSize().width();
    const double height = layout.paperSize().height();
    // The bottom-right cross keeps its distance from the paper's corner.
    const QPointF a = sheet::CalibrationTopLeft;
    const QPointF b =
        sheet::CalibrationBottomRight + QPointF(width - sheet::Paper.width(), height - sheet::Paper.height());
    cross(painter, a);
    cross(painter, b);
    // Beside each cross, rulers numbered by the distance from the paper's
    // edge each tick should have: 20 where the cross is.
    ruler(painter, QPointF(5, a.y() + 8), QPointF(1, 0), QPointF(0, 1), 30, 5, 1);
    ruler(painter, QPointF(a.x() + 8, 5), QPointF(0, 1), QPointF(1, 0), 30, 5, 1);
    ruler(painter, QPointF(width - 5, b.y() - 8), QPointF(-1, 0), QPointF(0, -1), 30, 5, 1);
    ruler(painter, QPointF(b.x() - 8, height - 5), QPointF(0, -1), QPointF(-1, 0), 30, 5, 1);
    // Across the middle, numbered from the left and the top edge, to check
    // the scale against a ruler of one's own.
    ruler(painter, QPointF(10, height / 2), QPointF(1, 0), QPointF(0, 1), 190, 10, 1);
    ruler(painter, QPointF(sheet::LeftMargin + sheet::ColumnWidth, 60), QPointF(0, 1), QPointF(1, 0), 190, 60, 1);

    const QRectF heading(25, 66, 75, 7);
    text(painter, heading, QStringLiteral("Lapora kalibráló lap"), 4.5, Qt::AlignLeft | Qt::AlignTop, true);
    const QString instructions = QStringLiteral(
        "Nyomtassa ki ezt a lapot a kalibrálandó nyomtatón, 100%-os méretben. Ezután mérje meg vonalzóval, "
        "milliméterben:\n\n"
        "1. a bal felső kereszt közepének távolságát a papír bal szélétől és a felső szélétől;\n\n"
        "2. a jobb alsó kereszt közepének távolságát a papír jobb szélétől és az alsó szélétől.\n\n"
        "Pontos nyomtatón mind a négy érték 20 mm. A négy értéket írja be a Kalibrálás ablakba: a program "
        "ebből számolja ki, mennyivel tolja el és nagyítja a nyomtató a lapot, és a kártyákat ennek "
        "megfelelően helyezi el.\n\n"
        "A keresztek melletti beosztás a papír szélétől mért távolságot mutatja. A lap közepén átfutó "
        "vonalzókkal a nagyítás ellenőrizhető.");
    text(painter, QRectF(25, 76, 75, 60), instructions, 2.6, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
    painter.restore();
}
