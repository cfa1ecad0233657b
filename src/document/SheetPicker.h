#pragma once

#include "print/SheetLayout.h"

#include <QWidget>

// A small picture of the sheet's paper and its stock cards, numbered: the
// positions before the start position are the sheet's used cards (grey),
// the rest will be printed on. A click on a position makes it the start.
class SheetPicker : public QWidget
{
    Q_OBJECT

public:
    explicit SheetPicker(QWidget* parent = nullptr);

    int start() const { return mStart; }
    void setStart(int position);
    // The sheet pictured; the start stays within its cards.
    void setSheet(const SheetLayout& layout);
    // The position (1 … the sheet's card count) at a point of the picture,
    // or 0.
    int positionAt(QPoint point) const;
    QRect positionRect(int position) const;
    // A picture only: no start marked, clicks choose nothing, and cards
    // drawn see-through, so that where two overlap shows darker.
    void setChoosing(bool choosing);
    // The picture's scale; a third of a millimetre to the pixel unless set.
    void setPixelsPerMm(double pixels);

    QSize sizeHint() const override;

signals:
    void startChosen(int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    SheetLayout mSheet;
    int mStart = 1;
    bool mChoosing = true;
    double mPixelsPerMm = 0.45;
};
