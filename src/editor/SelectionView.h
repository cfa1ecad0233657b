#pragma once

#include <QRect>
#include <QWidget>

#include <vector>

// The outlines of the selected layers, dotted, and the box round them, in
// the cut lines' blue: one widget masked to its lines, as the cut lines are,
// over the layers and never in the mouse's way. A drag moves it whole while
// the outlines keep their shape, so a hundred layers dragged together cost
// a move, not a new mask.
class SelectionView : public QWidget
{
public:
    explicit SelectionView(QWidget* surface);

    // Surface pixels.
    void setBoxes(const std::vector<QRect>& outlines, const QRect& box);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<QRect> mShape;  // the box first, then the outlines, from the view's corner
};
