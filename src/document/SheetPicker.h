#pragma once

#include <QWidget>

// A small picture of the 2 × 5 sheet: the positions before the start
// position are the sheet's used cards (grey), the rest will be printed on.
// A click on a position makes it the start.
class SheetPicker : public QWidget
{
    Q_OBJECT

public:
    explicit SheetPicker(QWidget* parent = nullptr);

    int start() const { return mStart; }
    void setStart(int position);
    // The position (1 … 10) at a point of the picture, or 0.
    int positionAt(QPoint point) const;
    QRect positionRect(int position) const;

    QSize sizeHint() const override;

signals:
    void startChosen(int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int mStart = 1;
};
