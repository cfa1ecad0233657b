#include "editor/SelectionView.h"

#include <QPainter>

#include <numeric>

SelectionView::SelectionView(QWidget* surface)
    : QWidget(surface)
{
    setObjectName("Selection");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void SelectionView::setBoxes(const std::vector<QRect>& outlines, const QRect& box)
{
    const QRect all = std::accumulate(outlines.begin(), outlines.end(), box,
                                      [](const QRect& a, const QRect& b) { return a.united(b); });
    std::vector<QRect> shape;
    shape.reserve(outlines.size() + 1);
    shape.push_back(box.translated(-all.topLeft()));
    for (const QRect& outline : outlines)
        shape.push_back(outline.translated(-all.topLeft()));
    if (shape == mShape && all.size() == size()) {
        move(all.topLeft());
        return;
    }
    mShape = std::move(shape);
    setGeometry(all);
    QRegion lines;
    for (const QRect& frame : mShape) {
        lines += QRect(frame.left(), frame.top(), frame.width(), 1);
        lines += QRect(frame.left(), frame.bottom(), frame.width(), 1);
        lines += QRect(frame.left(), frame.top(), 1, frame.height());
        lines += QRect(frame.right(), frame.top(), 1, frame.height());
    }
    setMask(lines);
    update();
}

void SelectionView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x34, 0x65, 0xa4), 1, Qt::DotLine));
    for (std::size_t i = 1; i < mShape.size(); ++i)
        painter.drawRect(mShape[i].adjusted(0, 0, -1, -1));
    painter.setPen(QPen(QColor(0x20, 0x4a, 0x87), 1, Qt::SolidLine));
    if (!mShape.empty())
        painter.drawRect(mShape.front().adjusted(0, 0, -1, -1));
}
