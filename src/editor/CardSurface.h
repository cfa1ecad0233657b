#pragma once

#include <QList>
#include <QUrl>
#include <QWidget>

#include <optional>
#include <vector>

class QLabel;

// The card as the card window shows it, at a zoom: the blank card's
// picture, an element per layer and the two handles are its children.
// Layers keep card pixels; the surface turns them into its own pixels and
// back. It takes the arrow keys when it has the focus, Ctrl and the wheel
// to zoom, and files dropped on it, and passes them on as signals.
class CardSurface : public QWidget
{
    Q_OBJECT

public:
    // Where the card's top-left corner lies on the surface.
    static constexpr QPoint Margin{8, 8};
    // The zooms offered, in percent.
    static const std::vector<int>& zooms();

    explicit CardSurface(QWidget* parent);

    int zoom() const { return mZoom; }
    // Resizes the surface and draws the card at the zoom; the window places
    // the elements again when it hears zoomChanged.
    void setZoom(int percent);

    QPoint toScreen(QPoint card) const;
    QRect toScreen(const QRect& box) const;
    int toScreen(int length) const;
    QPoint toCard(QPoint surface) const;
    QRect toCard(const QRect& surface) const;

    // The blank card under the layers (the design's Image0).
    QLabel* picture() const { return mPicture; }

    // Thin lines across the card where a moving box snapped, in card
    // pixels; none to take them away.
    void showGuides(std::optional<double> x, std::optional<double> y);
    std::optional<double> guideX() const { return mGuideX; }
    std::optional<double> guideY() const { return mGuideY; }

signals:
    void zoomChanged(int percent);
    // Ctrl and the wheel: +1 a zoom step in, -1 out.
    void zoomStepped(int steps);
    // An arrow key: by a card pixel, by ten with Shift.
    void nudged(QPoint step);
    void filesDropped(const QList<QUrl>& files, QPoint cardPoint);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void drawCard();

    int mZoom = 100;
    QLabel* mPicture;
    QWidget* mGuides;
    std::optional<double> mGuideX;
    std::optional<double> mGuideY;
};
