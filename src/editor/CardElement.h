#pragma once

#include "layer/LayerItem.h"

#include <QPixmap>
#include <QWidget>

class QMenu;
class QPainter;

// A visual element of the card surface: one per layer, named by the layer's
// element name and tagged with its stacking number, drawing its layer item. Mouse presses, moves and
// releases go out as signals for the card window to handle; the pressed
// element keeps the mouse until the button is released.
class CardElement : public QWidget
{
    Q_OBJECT

public:
    explicit CardElement(QWidget* cardBox);

    const LayerItem& item() const { return mItem; }
    // Takes the item's looks and picture; the card window places the element.
    virtual void setItem(const LayerItem& item);
    // The layer's box begins elsewhere on the card; it is drawn as it was.
    void moveBox(QPoint cardTopLeft) { mItem.box.moveTopLeft(cardTopLeft); }

    // An element whose layer cannot be shown (its picture does not decode,
    // its name is taken) stands as a light grey box with a cross, and can
    // be selected like any other.
    bool isPlaceholder() const { return mPlaceholder; }
    void setPlaceholder(bool placeholder);

    // A warning about the layer (it runs off the card, its code is too
    // small to read): shown as a mark on the element and as its tool tip;
    // none when empty.
    const QString& mark() const { return mMark; }
    void setMark(const QString& why);
    static constexpr int MarkSide = 13;

    int tag() const { return mTag; }
    void setTag(int tag) { mTag = tag; }

    // The record the element shows, by the table's record id: names and
    // numbers of a foreign card need not be unique, the record is.
    LayerTable::RecordId layerId() const { return mLayerId; }
    void setLayerId(LayerTable::RecordId id) { mLayerId = id; }

    // Opens when a right-button press on the element is released.
    void setContextMenu(QMenu* menu) { mContextMenu = menu; }

    // The zoom the element is drawn at, in percent: its geometry is the
    // card window's business, its drawing is the layer's at that scale.
    int zoom() const { return mZoom; }
    virtual void setZoom(int percent);
    // Its size in card pixels.
    QSize cardSize() const;

signals:
    void pressed(CardElement* element, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void moved(CardElement* element, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);
    void released(CardElement* element, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void doubleClicked(CardElement* element);

protected:
    void paintEvent(QPaintEvent* event) override;
    // What the element shows has changed: it is drawn again.
    void redraw();
    // The kept drawing is out of date; the paint under way draws afresh.
    void forgetDrawing() { mDrawn = {}; }
    void paintPlaceholder(QPainter& painter) const;
    void paintMark(QPainter& painter) const;
    // The layer on a painter of the element's own pixels: scaled to them
    // from card pixels, so that outlines, hatches and text are drawn at
    // the zoom rather than enlarged.
    void paintItem(QPainter& painter) const;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

    LayerItem mItem;

private:
    int mTag = 0;
    LayerTable::RecordId mLayerId = 0;
    bool mPlaceholder = false;
    QString mMark;
    QMenu* mContextMenu = nullptr;
    int mZoom = 100;
    QPixmap mDrawn;
};
