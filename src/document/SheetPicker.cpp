#include "document/SheetPicker.h"

#include "print/SheetLayout.h"

#include <QMouseEvent>
#include <QPainter>

SheetPicker::SheetPicker(QWidget* parent)
    : QWidget(parent)
{
    setObjectName("SheetPicker");
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Kattintson arra a helyre, ahol az első szabad kártya van"));
}

QSize SheetPicker::sizeHint() const
{
    const QSizeF paper = mSheet.paperSize();
    return QSize(int(paper.width() * mPixelsPerMm) + 2, int(paper.height() * mPixelsPerMm) + 2);
}

QRect SheetPicker::positionRect(int position) const
{
    const QRectF card = mSheet.stockCard(position);
    return QRectF(card.topLeft() * mPixelsPerMm + QPointF(1, 1), card.size() * mPixelsPerMm)
        .toRect()
        .adjusted(1, 1, -1, -1);
}

int SheetPicker::positionAt(QPoint point) const
{
    for (int position = 1; position <= mSheet.cardCount(); ++position)
        if (positionRect(position).adjusted(-1, -1, 1, 1).contains(point))
            return position;
    return 0;
}

void SheetPicker::setStart(int position)
{
    position = std::clamp(position, 1, mSheet.cardCount());
    if (position == mStart)
        return;
    mStart = position;
    update();
}

void SheetPicker::setChoosing(bool choosing)
{
    mChoosing = choosing;
    setCursor(choosing ? Qt::PointingHandCursor : Qt::ArrowCursor);
    setToolTip(choosing ? toolTip() : QString());
    update();
}

void SheetPicker::setPixelsPerMm(double pixels)
{
    mPixelsPerMm = pixels;
    updateGeometry();
    update();
}

void SheetPicker::setSheet(const SheetLayout& layout)
{
    mSheet = layout;
    mStart = std::clamp(mStart, 1, mSheet.cardCount());
    updateGeometry();
    update();
}

void SheetPicker::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect paper(0, 0, sizeHint().width() - 1, sizeHint().height() - 1);
    painter.fillRect(paper, Qt::white);
    painter.setPen(QColor(120, 120, 120));
    painter.drawRect(paper);
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    for (int position = 1; position <= mSheet.cardCount(); ++position) {
        const QRect box = positionRect(position);
        const bool used = mChoosing && position < mStart;
        const QColor fill = used ? QColor(200, 200, 200) : QColor(222, 236, 250);
        painter.fillRect(box, mChoosing ? fill : QColor(90, 140, 210, 70));
        painter.setPen(mChoosing && position == mStart ? QPen(QColor(32, 74, 135), 2) : QPen(QColor(120, 120, 120), 1));
        painter.drawRect(box);
        painter.setPen(used ? QColor(120, 120, 120) : Qt::black);
        painter.drawText(box, Qt::AlignCenter, QString::number(position));
    }
}

void SheetPicker::mousePressEvent(QMouseEvent* event)
{
    if (const int position = mChoosing ? positionAt(event->position().toPoint()) : 0) {
        setStart(position);
        emit startChosen(position);
    }
}
