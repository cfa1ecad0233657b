#include "document/Child.h"

#include "editor/CardSurface.h"
#include "editor/DragMath.h"
#include "editor/CardPicture.h"
#include "editor/ErrorBox.h"
#include "editor/Snapping.h"
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

// How near, in screen pixels, an edge must come to a line to snap to it.
constexpr double SnapReach = 4;

bool resizable(const CardElement* element)
{
    return qobject_cast<const PictureElement*>(element) || qobject_cast<const ShapeElement*>(element);
}

} // namespace

// A press, with any button, selects the element's layer (with Shift or
// Ctrl, adds it; on a selected layer, keeps the selection for a drag); a
// text element's font becomes the font of the next new text layer.
void Tfrm_Child::LblMouseDown(CardElement* element, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                              QPoint pos)
{
    guarded([&] {
        // The arrow keys now move the layer.
        Surface1->setFocus(Qt::MouseFocusReason);
        mDragging = true;
        mSnapLines.reset();
        mDragButton = button;
        mDragOrigin = pos;
        if (auto* text = qobject_cast<TextElement*>(element)) {
            const TextLook& look = text->look();
            mTextFont = look.font;
            mTextFont.setPointSize(look.points);
        }
        pressSelects(element, button, modifiers);
        startGroup();
    });
}

// The element follows the pointer by whole card pixels, its edges and
// centre snapping to the card's and the other layers' unless Ctrl is held,
// and the handles follow a dragged picture or shape; the record hears of
// it at the release. The
// first move after a dialog that a double-click opened is not a drag: the
// button went up in the dialog. Nor is any move once the button that
// started the drag is up, wherever it was released (a dialog that failed
// before it could say so included).
void Tfrm_Child::LblMouseMove(CardElement* element, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                              QPoint pos)
{
    guarded([&] {
        if (mDialogClosed && element == mCurrentElement) {
            mDialogClosed = false;
            mDragging = false;
            return;
        }
        if (mDragging && !(buttons & mDragButton)) {
            mDragging = false;
            Surface1->showGuides(std::nullopt, std::nullopt);
        }
        if (mDragging && element == mCurrentElement && mGroupStart.size() > 1) {
            moveGroup(element, modifiers, pos);
        } else if (mDragging && element == mCurrentElement) {
            const QPoint wanted = draggedElementPos(element->pos(), mDragOrigin, pos);
            const QRect box(Surface1->toCard(wanted), element->cardSize());
            QRect placed = box;
            showSnap(box, !(modifiers & Qt::ControlModifier), int(SnapEdges::Move), &placed);
            element->move(Surface1->toScreen(placed.topLeft()));
        }
        PlaceHandles();
    });
}

// The whole drag is one step, written at the release, the group's too; a
// press that moved nothing changes no field but still counts as a change
// of the card, and settles the selection.
void Tfrm_Child::LblMouseUp(CardElement* element, Qt::MouseButton, Qt::KeyboardModifiers, QPoint)
{
    guarded([&] {
        mDragging = false;
        Surface1->showGuides(std::nullopt, std::nullopt);
        if (mGroupStart.size() > 1) {
            CardDocument::LayerValues moves;
            for (const auto& [moving, box] : std::exchange(mGroupStart, {})) {
                if (!moving)
                    continue;
                const QPoint to = Surface1->toCard(moving->pos());
                if (to != box.topLeft())
                    moves.push_back({moving->layerId(), {{Field::left, to.x()}, {Field::top, to.y()}}});
            }
            if (moves.empty())
                releaseSelects();
            else
                mDocument.changeLayers(moves, QStringLiteral("Mozgatás"));
            PlaceHandles();
            return;
        }
        mGroupStart.clear();
        // The press made the element's layer current; should it not be,
        // another layer must not take this element's place.
        const QPoint at = Surface1->toCard(element->pos());
        const bool moved = at != element->item().box.topLeft();
        if (mDocument.current() == element->layerId() && moved)
            mDocument.change(element->layerId(), {{Field::left, at.x()}, {Field::top, at.y()}},
                             QStringLiteral("Mozgatás"));
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
    mSnapLines.reset();
    mAspectAtPress = mCurrentElement ? mCurrentElement->cardSize() : QSize();
    startGroup();
}

// Screen positions, because the handle moves under the pointer; the box
// takes whole card pixels, its moving edges snap unless Ctrl is held, and
// with Shift a picture keeps the shape it had when the handle was pressed.
void Tfrm_Child::Shape1MouseMove(ResizeHandle* handle, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                                 QPoint globalPos)
{
    guarded([&] {
        if (mDragging && !(buttons & mDragButton)) {
            mDragging = false;
            Surface1->showGuides(std::nullopt, std::nullopt);
        }
        if (!mDragging || !resizable(mCurrentElement))
            return;
        const bool topLeft = handle == Shape1;
        const ResizeHandle* other = topLeft ? Shape4 : Shape1;
        handle->move(draggedHandlePos(topLeft ? Handle::TopLeft : Handle::BottomRight, mHandlePressPos,
                                      mHandlePressCursor, globalPos, other->pos(), ResizeHandle::Size));
        if (mGroupStart.size() > 1) {
            resizeGroup(topLeft, modifiers);
            PlaceHandles();
            return;
        }
        const QRect box = Surface1->toCard(boxFromHandles(Shape1->pos(), Shape4->pos(), ResizeHandle::Size));
        QRect sized = box;
        showSnap(box, !(modifiers & Qt::ControlModifier), int(topLeft ? SnapEdges::TopLeft : SnapEdges::BottomRight),
                 &sized);
        if ((modifiers & Qt::ShiftModifier) && qobject_cast<PictureElement*>(mCurrentElement))
            sized = keptAspect(sized, mAspectAtPress, topLeft ? Handle::TopLeft : Handle::BottomRight);
        if (sized.width() < 1 || sized.height() < 1)
            sized = box;
        mCurrentElement->setGeometry(Surface1->toScreen(sized));
        PlaceHandles();
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
        Surface1->showGuides(std::nullopt, std::nullopt);
        const bool resized = std::exchange(mHandleMoved, false);
        if (!mCurrentElement)
            return;
        if (!resized)
            return;
        if (mGroupStart.size() > 1) {
            CardDocument::LayerValues boxes;
            for (const auto& [element, start] : std::exchange(mGroupStart, {})) {
                if (!element)
                    continue;
                const QRect box = Surface1->toCard(element->geometry());
                boxes.push_back({element->layerId(),
                                 {{Field::left, box.x()},
                                  {Field::top, box.y()},
                                  {Field::width, box.width()},
                                  {Field::height, box.height()}}});
            }
            mDocument.changeLayers(boxes, QStringLiteral("Átméretezés"));
            return;
        }
        const QRect box = Surface1->toCard(mCurrentElement->geometry());
        mDocument.change(mCurrentElement->layerId(),
                         {{Field::left, box.x()},
                          {Field::top, box.y()},
                          {Field::width, box.width()},
                          {Field::height, box.height()}},
                         QStringLiteral("Átméretezés"));
    });
}

// The lines of the card and of every layer that does not move with it,
// gathered once a drag.
SnapLines Tfrm_Child::snapLinesFor(const CardElement* moving) const
{
    std::vector<QRect> others;
    for (QObject* child : Surface1->children()) {
        const auto* element = qobject_cast<const CardElement*>(child);
        if (element && element != moving && !element->isHidden() && !(grouped() && isSelected(element->layerId())))
            others.push_back(Surface1->toCard(element->geometry()));
    }
    return snapLines(CardPicture::Card.size(), others);
}

// The box as it lands: snapped within 4 screen pixels of a line, with the
// guides of what it snapped to; as it is when snapping is off.
void Tfrm_Child::showSnap(const QRect& cardBox, bool snapping, int edges, QRect* snapped)
{
    *snapped = cardBox;
    if (!snapping) {
        Surface1->showGuides(std::nullopt, std::nullopt);
        return;
    }
    if (!mSnapLines)
        mSnapLines = snapLinesFor(mCurrentElement);
    const double reach = SnapReach * 100.0 / Surface1->zoom();
    const Snap snap = snapBox(cardBox, *mSnapLines, reach, SnapEdges(edges));
    switch (SnapEdges(edges)) {
    case SnapEdges::Move:
        snapped->translate(snap.offset);
        break;
    case SnapEdges::TopLeft:
        snapped->setTopLeft(snapped->topLeft() + snap.offset);
        break;
    case SnapEdges::BottomRight:
        snapped->setBottomRight(snapped->bottomRight() + snap.offset);
        break;
    }
    Surface1->showGuides(snap.guideX, snap.guideY);
}
