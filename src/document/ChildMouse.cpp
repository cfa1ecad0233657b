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

#include <QAction>
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
        mDragging = true;
        mDragButton = button;
        mDragOrigin = pos;
        if (auto* text = qobject_cast<TextElement*>(element)) {
            const TextLook& look = text->look();
            mTextFont = look.font;
            mTextFont.setPointSize(look.points);
        }
        if (Tbl().IsEditing())
            Tbl().PostRecord();
        Tbl().LocateId(element->layerId());
    });
}

// The element follows the pointer exactly, and the handles follow a
// dragged picture or shape; the record hears of it at the release. The
// first move after a dialog that a double-click opened is not a drag: the
// button went up in the dialog. Nor is any move once the button that
// started the drag is up, wherever it was released (a dialog that failed
// before it could say so included).
void Tfrm_Child::LblMouseMove(CardElement* element, Qt::MouseButtons buttons, Qt::KeyboardModifiers, QPoint pos)
{
    guarded([&] {
        if (mDialogClosed && element == mCurrentElement) {
            mDialogClosed = false;
            mDragging = false;
            return;
        }
        if (mDragging && !(buttons & mDragButton))
            mDragging = false;
        if (mDragging && element == mCurrentElement)
            element->move(draggedElementPos(element->pos(), mDragOrigin, pos));
        PlaceHandles();
    });
}

// The whole drag is one step, written at the release; a press that moved
// nothing changes no field but still counts as a change of the card.
void Tfrm_Child::LblMouseUp(CardElement* element, Qt::MouseButton, Qt::KeyboardModifiers, QPoint)
{
    guarded([&] {
        mDragging = false;
        // The press made the element's layer current; should it not be,
        // another layer must not take this element's place.
        const QPoint at = element->pos() - CardPicture::Origin;
        const bool moved = at != element->item().box.topLeft();
        if (Tbl().CurrentId() == element->layerId() && moved)
            mDocument.change(element->layerId(), {{Field::left, at.x()}, {Field::top, at.y()}},
                             QStringLiteral("Mozgatás"));
        else
            markModified();
        PlaceHandles();
    });
}

// Only the left button resizes.
void Tfrm_Child::Shape1MouseDown(ResizeHandle* handle, Qt::MouseButton button, Qt::KeyboardModifiers,
                                 QPoint globalPos)
{
    if (button != Qt::LeftButton)
        return;
    mDragging = true;
    mDragButton = button;
    mHandleMoved = false;
    mHandlePressCursor = globalPos;
    mHandlePressPos = handle->pos();
}

// Screen positions, because the handle moves under the pointer.
void Tfrm_Child::Shape1MouseMove(ResizeHandle* handle, Qt::MouseButtons buttons, Qt::KeyboardModifiers,
                                 QPoint globalPos)
{
    guarded([&] {
        if (mDragging && !(buttons & mDragButton))
            mDragging = false;
        if (!mDragging || !resizable(mCurrentElement))
            return;
        const bool topLeft = handle == Shape1;
        const ResizeHandle* other = topLeft ? Shape4 : Shape1;
        handle->move(draggedHandlePos(topLeft ? Handle::TopLeft : Handle::BottomRight, mHandlePressPos,
                                      mHandlePressCursor, globalPos, other->pos(), ResizeHandle::Size));
        mCurrentElement->setGeometry(boxFromHandles(Shape1->pos(), Shape4->pos(), ResizeHandle::Size));
        mHandleMoved = true;
        // A stretched picture is fetched at its new size once the moves
        // that are already waiting have been handled.
        auto* picture = qobject_cast<PictureElement*>(mCurrentElement);
        if (picture && picture->stretch() && !mPictureRefreshQueued) {
            mPictureRefreshQueued = true;
            QTimer::singleShot(0, this, [this] {
                mPictureRefreshQueued = false;
                guarded([this] { refreshPicture(); });
            });
        }
    });
}

// The whole resize is one step; a release that resized nothing writes
// nothing, so a width or height a card file gave as 0 or less stays as
// stored until the user really resizes, and counts as a change all the same.
void Tfrm_Child::Shape1MouseUp(ResizeHandle*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint)
{
    guarded([&] {
        mDragging = false;
        const bool resized = std::exchange(mHandleMoved, false);
        if (!mCurrentElement)
            return;
        if (!resized) {
            markModified();
            return;
        }
        const QRect box = mCurrentElement->geometry();
        mDocument.change(mCurrentElement->layerId(),
                         {{Field::left, box.x() - CardPicture::Origin.x()},
                          {Field::top, box.y() - CardPicture::Origin.y()},
                          {Field::width, box.width()},
                          {Field::height, box.height()}},
                         QStringLiteral("Átméretezés"));
    });
}
