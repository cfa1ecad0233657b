#pragma once

#include "editor/CardElement.h"

#include <QImage>
#include <QPixmap>

// A picture in its layer's box: stretched to the box, or at its own size from
// the box's top-left corner and cut at the box's edges. An empty picture (one
// that could not be decoded) shows an empty box.
class PictureElement : public CardElement
{
    Q_OBJECT

public:
    explicit PictureElement(QWidget* cardBox);

    bool stretch() const { return mStretch; }
    void setStretch(bool stretch);
    const QImage& picture() const { return mPicture; }
    void setPicture(const QImage& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage mPicture;
    QPixmap mShown;  // the box as last painted, at its size
    bool mStretch = true;
};
