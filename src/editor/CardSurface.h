#pragma once

#include "editor/Snapping.h"

#include <QElapsedTimer>
#include <QList>
#include <QRectF>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <optional>
#include <vector>

class QLabel;
class QRubberBand;
class CutLinesView;
class SelectionView;

// The print shop's cut, in card pixels: the outer edge of the bleed, the
// trim and the safe zone inside it.
struct CutLines
{
    QRectF bleed;
    QRectF trim;
    QRectF safe;
};

// The card as the card window shows it, at a zoom: the blank card's
// picture, an element per layer and the two handles are its children.
// Layers keep card pixels; the surface turns them into its own pixels and
// back. It takes the arrow keys when it has the focus, Ctrl and the wheel
// to zoom, and files dropped on it, and passes them on as signals.
class CardSurface : public QWidget
{
    Q_OBJECT

public:
    // The room round the card, in card pixels (5 mm): a layer placed partly
    // off the card shows there, as it does on the printed sheet's margin.
    static constexpr int MarginCardPixels = 19;
    // The zooms offered, in percent.
    static const std::vector<int>& zooms();

    explicit CardSurface(QWidget* parent);

    int zoom() const { return mZoom; }
    // Where the card's top-left corner lies on the surface at the zoom.
    QPoint margin() const;
    // Resizes the surface and draws the card at the zoom; the window places
    // the elements again when it hears zoomChanged.
    void setZoom(int percent);

    QPoint toScreen(QPoint card) const;
    QRect toScreen(const QRect& box) const;
    int toScreen(int length) const;
    QPoint toCard(QPoint surface) const;
    QRect toCard(const QRect& surface) const;

    // The blank card under the layers (Image0).
    QLabel* picture() const { return mPicture; }

    // Thin lines where a moving box snapped, in card pixels; none to take
    // them away.
    void showGuides(const std::optional<Guide>& x, const std::optional<Guide>& y);
    // Where the lines shown lie.
    std::optional<double> guideX() const { return mGuideX ? std::optional(mGuideX->at) : std::nullopt; }
    std::optional<double> guideY() const { return mGuideY ? std::optional(mGuideY->at) : std::nullopt; }

    // The print shop's cut as thin lines over the layers, following the
    // zoom; none to take them away. They are the screen's alone.
    void showCutLines(const std::optional<CutLines>& lines);
    bool cutLinesShown() const { return mCutLines.has_value(); }
    // Puts a layer's element over every other layer's, and under the
    // selection's outlines and the cut lines.
    void raiseLayer(QWidget* element);

    // Several layers selected: each one's outline and the box round them
    // all, in card pixels, over the layers and never in the mouse's way;
    // no outlines to take them away.
    void showSelection(const std::vector<QRect>& outlines, const QRect& box);
    bool selectionShown() const;

signals:
    void zoomChanged(int percent);
    // Ctrl and the wheel: +1 a zoom step in, -1 out.
    void zoomStepped(int steps);
    // An arrow key: by a card pixel, by ten with Shift.
    void nudged(QPoint step);
    void filesDropped(const QList<QUrl>& files, QPoint cardPoint);
    // A drag that started where no layer lies: the box it drew, in card
    // pixels, with the keys held at the release.
    void areaChosen(const QRect& cardBox, Qt::KeyboardModifiers modifiers);
    // A click where no layer lies.
    void emptyClicked(Qt::KeyboardModifiers modifiers);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void drawCard();
    void placeGuides();
    void placeCutLines();
    QRect screenBox(const QRectF& card) const;

    int mZoom = 100;
    int mWheelTurned = 0;  // Ctrl and the wheel: what is not yet a step
    QLabel* mPicture;
    QWidget* mGuideV;
    QWidget* mGuideH;
    static constexpr qint64 GuideInterval = 25;  // ms
    static constexpr int GuideReach = 4;         // screen pixels past the boxes joined
    QElapsedTimer mGuidesPlaced;
    QTimer mGuideTimer;
    std::optional<Guide> mGuideX;
    std::optional<Guide> mGuideY;
    CutLinesView* mCutLinesView;
    std::optional<CutLines> mCutLines;
    SelectionView* mSelectionView;
    QRubberBand* mBand = nullptr;
    std::optional<QPoint> mBandFrom;  // where a drag on the empty card started
};
