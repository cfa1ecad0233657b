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

// A guide is a line one pixel wide of its own colour, over the elements and
// never in the mouse's way: moving it repaints only the strips it leaves
// and enters, not the card under a layer as large as the surface.
QWidget* newGuide(QWidget* surface)
{
    auto* guide = new QWidget(surface);
    guide->setAttribute(Qt::WA_TransparentForMouseEvents);
    guide->setAutoFillBackground(true);
    QPalette palette = guide->palette();
    palette.setColor(QPalette::Window, GuideColor);
    guide->setPalette(palette);
    guide->hide();
    return guide;
}

} // namespace

const std::vector<int>& CardSurface::zooms()
{
    static const std::vector<int> offered = {100, 150, 200, 300, 400};
    return offered;
}

CardSurface::CardSurface(QWidget* parent)
    : QWidget(parent), mPicture(new QLabel(this)), mGuideV(newGuide(this)), mGuideH(newGuide(this))
{
    mGuideTimer.setSingleShot(true);
    connect(&mGuideTimer, &QTimer::timeout, this, &CardSurface::placeGuides);
    setObjectName("CardSurface");
    setFocusPolicy(Qt::ClickFocus);
    setAcceptDrops(true);
    mPicture->setObjectName("Image0");
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
    mPicture->move(margin());
    mPicture->resize(toScreen(CardPicture::Size.width()), toScreen(CardPicture::Size.height()));
    // At 100 % this is the card box of the window at its first size. The
    // shadow lies within the margin.
    const QSize needed(margin().x() * 2 + toScreen(CardPicture::Card.width()),
                       margin().y() * 2 + toScreen(CardPicture::Card.height()));
    setMinimumSize(needed);
    placeGuides();
}

QPoint CardSurface::margin() const
{
    const int room = toScreen(MarginCardPixels);
    return {room, room};
}

int CardSurface::toScreen(int length) const
{
    return screenPixels(length, mZoom);
}

QPoint CardSurface::toScreen(QPoint card) const
{
    return margin() + QPoint(screenPixels(card.x(), mZoom), screenPixels(card.y(), mZoom));
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
    const QPoint at = surface - margin();
    return QPoint(cardPixels(at.x(), mZoom), cardPixels(at.y(), mZoom));
}

QRect CardSurface::toCard(const QRect& surface) const
{
    const QPoint topLeft = toCard(surface.topLeft());
    const QPoint farCorner = toCard(surface.topLeft() + QPoint(surface.width(), surface.height()));
    return QRect(topLeft, QSize(farCorner.x() - topLeft.x(), farCorner.y() - topLeft.y()));
}

// Moving a guide uncovers a strip that every layer under it draws again, so
// while the pointer sweeps past many lines the guides follow at most every
// GuideInterval; taking them away is at once.
void CardSurface::showGuides(const std::optional<Guide>& x, const std::optional<Guide>& y)
{
    if (x == mGuideX && y == mGuideY)
        return;
    mGuideX = x;
    mGuideY = y;
    if ((!x && !y) || !mGuidesPlaced.isValid() || mGuidesPlaced.hasExpired(GuideInterval)) {
        mGuideTimer.stop();
        placeGuides();
    } else if (!mGuideTimer.isActive()) {
        mGuideTimer.start(int(GuideInterval - mGuidesPlaced.elapsed()));
    }
}

// Along its stretch and half the margin beyond each end. A guide is only as
// long as it needs to be: what it uncovers when it moves must be drawn
// again, every layer under it.
void CardSurface::placeGuides()
{
    auto screen = [this](double card) { return int(std::lround(card * mZoom / 100.0)); };
    const QPoint reach(GuideReach, GuideReach);
    const QPoint origin = margin();
    if (mGuideX) {
        const int from = origin.y() + screen(mGuideX->from) - reach.y();
        const int to = origin.y() + screen(mGuideX->to) + reach.y();
        mGuideV->setGeometry(origin.x() + screen(mGuideX->at), from, 1, to - from);
        mGuideV->raise();
    }
    if (mGuideY) {
        const int from = origin.x() + screen(mGuideY->from) - reach.x();
        const int to = origin.x() + screen(mGuideY->to) + reach.x();
        mGuideH->setGeometry(from, origin.y() + screen(mGuideY->at), to - from, 1);
        mGuideH->raise();
    }
    mGuideV->setVisible(mGuideX.has_value());
    mGuideH->setVisible(mGuideY.has_value());
    mGuidesPlaced.start();
}

// A notch of a wheel is a step; a touchpad's many small turns add up to
// steps of the same size.
void CardSurface::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier) || event->angleDelta().y() == 0) {
        event->ignore();
        return;
    }
    event->accept();
    constexpr int Notch = QWheelEvent::DefaultDeltasPerStep;
    if ((mWheelTurned > 0) != (event->angleDelta().y() > 0))
        mWheelTurned = 0;
    mWheelTurned += event->angleDelta().y();
    if (std::abs(mWheelTurned) < Notch)
        return;
    const int steps = mWheelTurned / Notch;
    mWheelTurned -= steps * Notch;
    emit zoomStepped(steps);
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
