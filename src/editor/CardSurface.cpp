#include "editor/CardSurface.h"

#include "editor/CardPicture.h"
#include "editor/DragMath.h"
#include "editor/SelectionView.h"
#include "layer/PictureDecoder.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QWheelEvent>

#include <algorithm>
#include <array>
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

// The print shop's cut over the card: one widget, masked to its lines, so
// that it never takes the mouse and what lies under it is drawn again only
// where a line runs.
class CutLinesView : public QWidget
{
public:
    explicit CutLinesView(QWidget* surface)
        : QWidget(surface)
    {
        setObjectName("CutLines");
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

    // The bleed's edge, the trim and the safe zone in surface pixels, each
    // drawn on its own outermost pixels.
    void setBoxes(const std::array<QRect, 3>& boxes)
    {
        mBoxes = boxes;
        const QRect all = boxes[0] | boxes[1] | boxes[2];
        setGeometry(all);
        QRegion lines;
        for (QRect box : boxes) {
            box.translate(-all.topLeft());
            lines += QRect(box.left(), box.top(), box.width(), 1);
            lines += QRect(box.left(), box.bottom(), box.width(), 1);
            lines += QRect(box.left(), box.top(), 1, box.height());
            lines += QRect(box.right(), box.top(), 1, box.height());
        }
        setMask(lines);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        // The bleed dashed in red, the trim solid in blue, the safe zone
        // dotted in green.
        static const std::array<QPen, 3> pens = {QPen(QColor(0xcc, 0x00, 0x00), 1, Qt::DashLine),
                                                 QPen(QColor(0x20, 0x4a, 0x87), 1, Qt::SolidLine),
                                                 QPen(QColor(0x4e, 0x9a, 0x06), 1, Qt::DotLine)};
        QPainter painter(this);
        painter.translate(-pos());
        painter.setBrush(Qt::NoBrush);
        for (std::size_t i = 0; i < mBoxes.size(); ++i) {
            painter.setPen(pens[i]);
            painter.drawRect(mBoxes[i].adjusted(0, 0, -1, -1));
        }
    }

private:
    std::array<QRect, 3> mBoxes;
};

const std::vector<int>& CardSurface::zooms()
{
    static const std::vector<int> offered = {100, 150, 200, 300, 400};
    return offered;
}

CardSurface::CardSurface(QWidget* parent)
    : QWidget(parent)
    , mPicture(new QLabel(this))
    , mGuideV(newGuide(this))
    , mGuideH(newGuide(this))
    , mCutLinesView(new CutLinesView(this))
    , mSelectionView(new SelectionView(this))
{
    // The outlines lie over every layer and under the cut lines.
    mSelectionView->stackUnder(mCutLinesView);
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
    placeCutLines();
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

void CardSurface::showCutLines(const std::optional<CutLines>& lines)
{
    mCutLines = lines;
    placeCutLines();
}

void CardSurface::placeCutLines()
{
    if (mCutLines)
        mCutLinesView->setBoxes({screenBox(mCutLines->bleed), screenBox(mCutLines->trim), screenBox(mCutLines->safe)});
    mCutLinesView->setVisible(mCutLines.has_value());
}

void CardSurface::raiseLayer(QWidget* element)
{
    element->stackUnder(mSelectionView);
}

void CardSurface::showSelection(const std::vector<QRect>& outlines, const QRect& box)
{
    if (outlines.empty()) {
        mSelectionView->hide();
        return;
    }
    std::vector<QRect> screen;
    screen.reserve(outlines.size());
    for (const QRect& outline : outlines)
        screen.push_back(toScreen(outline));
    mSelectionView->setBoxes(screen, toScreen(box));
    mSelectionView->show();
}

bool CardSurface::selectionShown() const
{
    return !mSelectionView->isHidden();
}

// A left-button drag where no layer lies draws a box; the release chooses
// the layers in it. The elements take their own presses, so only the empty
// card and its margin come here.
void CardSurface::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    mBandFrom = event->position().toPoint();
    event->accept();
}

void CardSurface::mouseMoveEvent(QMouseEvent* event)
{
    if (!mBandFrom || !(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QRect band = QRect(*mBandFrom, event->position().toPoint()).normalized();
    if (!mBand && (band.width() > 2 || band.height() > 2)) {
        mBand = new QRubberBand(QRubberBand::Rectangle, this);
        mBand->setObjectName("SelectionBand");
    }
    if (mBand) {
        mBand->setGeometry(band);
        mBand->show();
    }
}

void CardSurface::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !mBandFrom) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const QRect band = QRect(*mBandFrom, event->position().toPoint()).normalized();
    mBandFrom.reset();
    const bool drawn = mBand != nullptr;
    delete mBand;
    mBand = nullptr;
    if (drawn)
        emit areaChosen(toCard(band), event->modifiers());
    else
        emit emptyClicked(event->modifiers());
}

// The pixels a box of card pixels covers at the zoom, its edges rounded to
// the nearest.
QRect CardSurface::screenBox(const QRectF& card) const
{
    const auto screen = [this](double at) { return int(std::lround(at * mZoom / 100.0)); };
    const QPoint origin = margin();
    return QRect(origin + QPoint(screen(card.left()), screen(card.top())),
                 origin + QPoint(screen(card.right()) - 1, screen(card.bottom()) - 1));
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
