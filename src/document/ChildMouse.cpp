#include "document/Child.h"

#include "editor/CardPicture.h"
#include "editor/DragMath.h"
#include "editor/ErrorBox.h"
#include "editor/PictureElement.h"
#include "editor/ResizeHandle.h"
#include "editor/ShapeElement.h"
#include "editor/TextElement.h"
#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"

#include <QTimer>

#include <utility>

namespace {


bool resizable(const CardElement* element)
{
    return qobject_cast<const PictureElement*>(element) || qobject_cast<const ShapeElement*>(element);
}

} // namespace

// A press, with any button, selects the element's layer; a text element's
// font becomes the font of the next new text layer.
void Tfrm_Child::LblMouseDown(CardElement* element, Qt::MouseButton button, Qt::KeyboardModifiers, QPoint pos)
{
    guarded([&] {
        Dragging = true;
        mDragButton = button;
        DragOrigin = pos;
        if (auto* text = qobject_cast<TextElement*>(element)) {
            const TextLook& look = text->look();
            TextFont = look.font;
            TextFont.setPointSize(look.points);
        }
        if (Tbl.IsEditing())
            Tbl.PostRecord();
        Tbl.LocateId(element->layerId());
    });
}

// The element follows the pointer exactly, and the handles follow a
// dragged picture or shape. The first move after a dialog that a
// double-click opened is not a drag: the button went up in the dialog. Nor
// is any move once the button that started the drag is up, wherever it
// was released (a dialog that failed before it could say so included).
void Tfrm_Child::LblMouseMove(CardElement* element, Qt::MouseButtons buttons, Qt::KeyboardModifiers, QPoint pos)
{
    guarded([&] {
        if (DialogClosed && element == CurrentElement) {
            DialogClosed = false;
            Dragging = false;
            return;
        }
        if (Dragging && !(buttons & mDragButton))
            Dragging = false;
        if (Dragging && element == CurrentElement)
            element->move(draggedElementPos(element->pos(), DragOrigin, pos));
        PlaceHandles();
    });
}

// The record is written once, at the release, also when nothing moved.
void Tfrm_Child::LblMouseUp(CardElement* element, Qt::MouseButton, Qt::KeyboardModifiers, QPoint)
{
    guarded([&] {
        Tbl.EditRecord();
        // The press made the element's layer current; should it not be,
        // another layer must not take this element's place.
        if (Tbl.CurrentId() == element->layerId()) {
            const QPoint at = element->pos() - CardPicture::Origin;
            Tbl.WriteField(Field::left, at.x());
            Tbl.WriteField(Field::top, at.y());
        }
        Tbl.PostRecord();
        Dragging = false;
        PlaceHandles();
        Modified = true;
    });
}

// Only the left button resizes.
void Tfrm_Child::Shape1MouseDown(ResizeHandle* handle, Qt::MouseButton button, Qt::KeyboardModifiers,
                                 QPoint globalPos)
{
    if (button != Qt::LeftButton)
        return;
    Dragging = true;
    mDragButton = button;
    mHandleMoved = false;
    HandlePressCursor = globalPos;
    HandlePressPos = handle->pos();
}

// Screen positions, because the handle moves under the pointer.
void Tfrm_Child::Shape1MouseMove(ResizeHandle* handle, Qt::MouseButtons buttons, Qt::KeyboardModifiers,
                                 QPoint globalPos)
{
    guarded([&] {
        if (Dragging && !(buttons & mDragButton))
            Dragging = false;
        if (!Dragging || !resizable(CurrentElement))
            return;
        const bool topLeft = handle == Shape1;
        const ResizeHandle* other = topLeft ? Shape4 : Shape1;
        handle->move(draggedHandlePos(topLeft ? Handle::TopLeft : Handle::BottomRight, HandlePressPos,
                                      HandlePressCursor, globalPos, other->pos(), ResizeHandle::Size));
        CurrentElement->setGeometry(boxFromHandles(Shape1->pos(), Shape4->pos(), ResizeHandle::Size));
        mHandleMoved = true;
        // A stretched picture is fetched at its new size once the moves
        // that are already waiting have been handled.
        auto* picture = qobject_cast<PictureElement*>(CurrentElement);
        if (picture && picture->stretch() && !mPictureRefreshQueued) {
            mPictureRefreshQueued = true;
            QTimer::singleShot(0, this, [this] {
                mPictureRefreshQueued = false;
                guarded([this] { refreshPicture(); });
            });
        }
    });
}

// A release that resized nothing writes the box unchanged: a width or
// height a card file gave as 0 or less stays as stored until the user
// really resizes.
void Tfrm_Child::Shape1MouseUp(ResizeHandle*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint)
{
    guarded([&] {
        Dragging = false;
        const bool resized = std::exchange(mHandleMoved, false);
        if (!CurrentElement)
            return;
        if (!resized) {
            Modified = true;
            return;
        }
        const QRect box = CurrentElement->geometry();
        Tbl.EditRecord();
        Tbl.WriteField(Field::left, box.x() - CardPicture::Origin.x());
        Tbl.WriteField(Field::top, box.y() - CardPicture::Origin.y());
        Tbl.WriteField(Field::width, box.width());
        Tbl.WriteField(Field::height, box.height());
        Tbl.PostRecord();
        Modified = true;
    });
}
