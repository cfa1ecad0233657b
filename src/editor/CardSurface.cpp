#include "editor/CardSurface.h"

#include "editor/CardPicture.h"
#include "editor/DragMath.h"
#include "layer/PictureDecoder.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

const QColor GuideColor(0xd0, 0x00, 0x80);

// Drawn over the elements, never in the mouse's way.
class GuideLayer : public QWidget
{
public:
    explicit GuideLayer(CardSurface* surface)
        : QWidget(surface), mSurface(surface)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(QPen(GuideColor, 1));
        const QRect card = mSurface->toScreen(CardPicture::Card);
        if (const std::optional<double> x = mSurface->guideX()) {
            const int at = CardSurface::Margin.x() + int(std::lround(*x * mSurface->zoom() / 100.0));
            painter.drawLine(at, card.top() - CardSurface::Margin.y() / 2, at, card.bottom() + CardSurface::Margin.y() / 2);
        }
        if (const std::optional<double> y = mSurface->guideY()) {
            const int at = CardSurface::Margin.y() + int(std::lround(*y * mSurface->zoom() / 100.0));
            painter.drawLine(card.left() - CardSurface::Margin.x() / 2, at, card.right() + CardSurface::Margin.x() / 2, at);
        }
    }

private:
    CardSurface* mSurface;
};

} // namespace

const std::vector<int>& CardSurface::zooms()
{
    static const std::vector<int> offered = {100, 150, 200, 300, 400};
    return offered;
}

CardSurface::CardSurface(QWidget* parent)
    : QWidget(parent), mPicture(new QLabel(this)), mGuides(new GuideLayer(this))
{
    setObjectName("CardSurface");
    setFocusPolicy(Qt::ClickFocus);
    setAcceptDrops(true);
    mPicture->setObjectName("Image0");
    mPicture->move(Margin);
    mGuides->hide();
    drawCard();
}

void CardSurface::setZoom(int percent)
{
    if (percent == mZoom)
        return;
    mZoom = percent;
    drawCard();
    emit zoomChanged(percent);
}

// The surface holds the card and its shadow with a margin all round; the
// scroll area around it gives it more room where it has more.
void CardSurface::drawCard()
{
    mPicture->setPixmap(CardPicture::pixmap(mZoom, devicePixelRatioF()));
    mPicture->resize(toScreen(CardPicture::Size.width()), toScreen(CardPicture::Size.height()));
    const QSize needed(Margin.x() * 2 + mPicture->width() + toScreen(13), Margin.y() * 2 + mPicture->height() + toScreen(3));
    setMinimumSize(needed);
    mGuides->resize(needed.expandedTo(size()));
}

int CardSurface::toScreen(int length) const
{
    return screenPixels(length, mZoom);
}

QPoint CardSurface::toScreen(QPoint card) const
{
    return Margin + QPoint(screenPixels(card.x(), mZoom), screenPixels(card.y(), mZoom));
}

// Edge by edge, so that boxes side by side stay side by side.
QRect CardSurface::toScreen(const QRect& box) const
{
    const QPoint topLeft = toScreen(box.topLeft());
    const QPoint farCorner = toScreen(box.topLeft() + QPoint(box.width(), box.height()));
    return QRect(topLeft, QSize(farCorner.x() - topLeft.x(), farCorner.y() - topLeft.y()));
}

QPoint CardSurface::toCard(QPoint surface) const
{
    const QPoint at = surface - Margin;
    return QPoint(cardPixels(at.x(), mZoom), cardPixels(at.y(), mZoom));
}

QRect CardSurface::toCard(const QRect& surface) const
{
    const QPoint topLeft = toCard(surface.topLeft());
    const QPoint farCorner = toCard(surface.topLeft() + QPoint(surface.width(), surface.height()));
    return QRect(topLeft, QSize(farCorner.x() - topLeft.x(), farCorner.y() - topLeft.y()));
}

void CardSurface::showGuides(std::optional<double> x, std::optional<double> y)
{
    if (x == mGuideX && y == mGuideY)
        return;
    mGuideX = x;
    mGuideY = y;
    mGuides->resize(size().expandedTo(minimumSize()));
    mGuides->setVisible(x || y);
    mGuides->raise();
    mGuides->update();
}

void CardSurface::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier) || event->angleDelta().y() == 0) {
        event->ignore();
        return;
    }
    emit zoomStepped(event->angleDelta().y() > 0 ? 1 : -1);
    event->accept();
}

void CardSurface::keyPressEvent(QKeyEvent* event)
{
    const int step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
    switch (event->key()) {
    case Qt::Key_Left: emit nudged({-step, 0}); break;
    case Qt::Key_Right: emit nudged({step, 0}); break;
    case Qt::Key_Up: emit nudged({0, -step}); break;
    case Qt::Key_Down: emit nudged({0, step}); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

// Only pictures land on the card; anything else (a card file) is left to
// the windows around it.
void CardSurface::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> files = event->mimeData()->urls();
    const bool pictures = !files.isEmpty() && std::all_of(files.begin(), files.end(), [](const QUrl& file) {
        return file.isLocalFile() && isPictureExtension(QFileInfo(file.toLocalFile()).suffix().prepend('.').toStdString());
    });
    if (pictures)
        event->acceptProposedAction();
    else
        event->ignore();
}

void CardSurface::dropEvent(QDropEvent* event)
{
    const QList<QUrl> files = event->mimeData()->urls();
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    emit filesDropped(files, toCard(event->position().toPoint()));
}

// Only once shown does the surface know its screen's device pixel ratio.
void CardSurface::showEvent(QShowEvent* event)
{
    drawCard();
    QWidget::showEvent(event);
}
