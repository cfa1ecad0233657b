#include "editor/CardElement.h"

#include "editor/DragMath.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>

namespace {

// Qt's raster engine hands a copy more than a few dozen rows tall to its
// worker threads; the strip a moving guide or box uncovers is a few pixels
// wide and hundreds of rows tall, and each handing over costs far more than
// the copy. Bands of rows stay on this thread.
void paintKept(QPainter& painter, const QRect& dirty, const QPixmap& kept)
{
    constexpr int Band = 48;
    const qreal ratio = kept.devicePixelRatio();
    for (int top = dirty.top(); top <= dirty.bottom(); top += Band) {
        const QRect band(dirty.left(), top, dirty.width(), std::min(Band, dirty.bottom() + 1 - top));
        painter.drawPixmap(band, kept, QRectF(QPointF(band.topLeft()) * ratio, QSizeF(band.size()) * ratio));
    }
}

} // namespace

CardElement::CardElement(QWidget* cardBox)
    : QWidget(cardBox)
{
    // Moves without a pressed button are reported too: the card window
    // places the handles on every move.
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    // The menu opens at the release below, after the press has selected and
    // the release has settled the layer.
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void CardElement::setItem(const LayerItem& item)
{
    mItem = item;
    redraw();
}

void CardElement::redraw()
{
    forgetDrawing();
    update();
}

void CardElement::setPlaceholder(bool placeholder)
{
    if (placeholder == mPlaceholder)
        return;
    mPlaceholder = placeholder;
    update();
}

// Nothing is painted behind the layer: the card and the layers below show
// around a text and between the hatch lines of a shape. The drawing is kept
// as a pixmap of the element's size, so that a layer dragged over it, or
// the element itself dragged, costs a copy rather than a new drawing of
// hatches and text at the zoom; a box far larger than the card at the zoom
// is drawn as it is exposed instead.
void CardElement::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const qint64 card = qint64(screenPixels(SurfaceSize.width(), mZoom)) * screenPixels(SurfaceSize.height(), mZoom);
    if (mPlaceholder || qint64(width()) * height() > 4 * card) {
        mDrawn = {};
        if (mPlaceholder)
            paintPlaceholder(painter);
        else
            paintItem(painter);
        paintMark(painter);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    if (mDrawn.deviceIndependentSize().toSize() != size() || mDrawn.devicePixelRatio() != ratio) {
        QPixmap drawn(size() * ratio);
        drawn.setDevicePixelRatio(ratio);
        drawn.fill(Qt::transparent);
        QPainter onto(&drawn);
        paintItem(onto);
        onto.end();
        mDrawn = drawn;
    }
    for (const QRect& dirty : event->region())
        paintKept(painter, dirty, mDrawn);
    paintMark(painter);
}

void CardElement::setMark(const QString& why)
{
    if (why == mMark)
        return;
    mMark = why;
    setToolTip(why);
    update();
}

// A red disc with an exclamation mark in the element's top-left corner, at
// the screen's size whatever the zoom; the print never has it.
void CardElement::paintMark(QPainter& painter) const
{
    if (mMark.isEmpty())
        return;
    const int side = std::min({MarkSide, width(), height()});
    if (side < 4)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(QColor(0xd0, 0x10, 0x10));
    const QRectF disc(0.5, 0.5, side - 1, side - 1);
    painter.drawEllipse(disc);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::max(6, side - 3));
    painter.setFont(font);
    painter.drawText(disc, Qt::AlignCenter, QStringLiteral("!"));
    painter.restore();
}

void CardElement::setZoom(int percent)
{
    if (percent == mZoom)
        return;
    mZoom = percent;
    redraw();
}

QSize CardElement::cardSize() const
{
    return QSize(cardPixels(width(), mZoom), cardPixels(height(), mZoom));
}

void CardElement::paintItem(QPainter& painter) const
{
    if (mZoom == 100) {
        paintLayer(painter, mItem, rect());
        return;
    }
    const QSize card = cardSize();
    if (card.isEmpty())
        return;
    painter.save();
    painter.scale(double(width()) / card.width(), double(height()) / card.height());
    paintLayer(painter, mItem, QRect(QPoint(), card));
    painter.restore();
}

void CardElement::paintPlaceholder(QPainter& painter) const
{
    const QRect box = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(rect(), QColor(224, 224, 224));
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(box);
    painter.drawLine(box.topLeft(), box.bottomRight());
    painter.drawLine(box.bottomLeft(), box.topRight());
}

void CardElement::mousePressEvent(QMouseEvent* event)
{
    emit pressed(this, event->button(), event->modifiers(), event->position().toPoint());
}

void CardElement::mouseMoveEvent(QMouseEvent* event)
{
    emit moved(this, event->buttons(), event->modifiers(), event->position().toPoint());
}

void CardElement::mouseReleaseEvent(QMouseEvent* event)
{
    // A handler may take the element away; the menu must not outlive it.
    QPointer<CardElement> self(this);
    emit released(this, event->button(), event->modifiers(), event->position().toPoint());
    if (self && event->button() == Qt::RightButton && mContextMenu)
        mContextMenu->popup(event->globalPosition().toPoint());
}

// The second press of a double-click first runs the element's command and
// then counts as a press, so a drag can start from it.
void CardElement::mouseDoubleClickEvent(QMouseEvent* event)
{
    QPointer<CardElement> self(this);
    if (event->button() == Qt::LeftButton)
        emit doubleClicked(this);
    if (self)
        emit pressed(this, event->button(), event->modifiers(), event->position().toPoint());
}
