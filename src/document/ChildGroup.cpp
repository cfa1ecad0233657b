#include "document/Child.h"

#include "editor/Align.h"
#include "editor/CardElement.h"
#include "editor/CardSurface.h"
#include "editor/DragMath.h"
#include "editor/LayerGrid.h"
#include "editor/PictureElement.h"
#include "editor/ResizeHandle.h"
#include "editor/ShapeElement.h"

#include <algorithm>

std::vector<LayerTable::RecordId> Tfrm_Child::Selection() const
{
    std::vector<LayerTable::RecordId> layers;
    if (mSelection.size() <= 1) {
        if (Tbl().RecordTotal() > 0 && Tbl().RecordPosition() >= 0)
            layers.push_back(Tbl().CurrentId());
        return layers;
    }
    for (int row = 0; row < Tbl().StoredCount(); ++row)
        if (isSelected(Tbl().StoredId(row)))
            layers.push_back(Tbl().StoredId(row));
    return layers;
}

bool Tfrm_Child::isSelected(LayerTable::RecordId layer) const
{
    return std::find(mSelection.begin(), mSelection.end(), layer) != mSelection.end();
}

void Tfrm_Child::selectLayers(const std::vector<LayerTable::RecordId>& layers)
{
    std::vector<LayerTable::RecordId> chosen;
    for (LayerTable::RecordId layer : layers)
        if (Tbl().RowOf(layer) >= 0 && std::find(chosen.begin(), chosen.end(), layer) == chosen.end())
            chosen.push_back(layer);
    if (chosen.empty())
        return;
    const LayerTable::RecordId current = mDocument.current();
    const auto kept = std::find(chosen.begin(), chosen.end(), current);
    if (kept != chosen.end())
        std::rotate(kept, kept + 1, chosen.end());
    mSelection = chosen;
    mDocument.setCurrent(mSelection.back());
    showSelection();
}

void Tfrm_Child::toggleLayer(LayerTable::RecordId layer)
{
    if (Tbl().RowOf(layer) < 0)
        return;
    if (!isSelected(layer))
        mSelection.push_back(layer);
    else if (mSelection.size() > 1)
        mSelection.erase(std::find(mSelection.begin(), mSelection.end(), layer));
    mDocument.setCurrent(mSelection.back());
    showSelection();
}

// Ctrl+A on the card or in the layer list; in a text box it selects the
// box's text instead.
void Tfrm_Child::aMindetExecute()
{
    std::vector<LayerTable::RecordId> all;
    for (int row = 0; row < Tbl().StoredCount(); ++row)
        all.push_back(Tbl().StoredId(row));
    selectLayers(all);
}

// The selection follows the current layer: a layer made current from
// elsewhere (the list, a new layer, a step of the history) is the
// selection alone, unless the step that made it current added or changed
// several layers at once, which then are the selection (a paste, the undo
// of a group's delete or move).
void Tfrm_Child::followSelection()
{
    std::erase_if(mSelection, [this](LayerTable::RecordId layer) { return Tbl().RowOf(layer) < 0; });
    const LayerTable::RecordId current = mDocument.current();
    if (current == 0) {
        mSelection.clear();
        return;
    }
    if (!isSelected(current)) {
        mSelection.clear();
        if (std::find(mStepLayers.begin(), mStepLayers.end(), current) != mStepLayers.end())
            for (LayerTable::RecordId layer : mStepLayers)
                if (Tbl().RowOf(layer) >= 0 && !isSelected(layer))
                    mSelection.push_back(layer);
    }
    std::erase(mSelection, current);
    mSelection.push_back(current);
}

// One layer shows as it always has: the handles frame a picture or shape.
// Several show each one's outline and the box round them all, framed by
// the handles.
void Tfrm_Child::showSelection()
{
    if (grouped()) {
        PlaceHandles();
    } else {
        Surface1->showSelection({}, {});
        if (qobject_cast<PictureElement*>(mCurrentElement) || qobject_cast<ShapeElement*>(mCurrentElement)) {
            PlaceHandles();
        } else {
            Shape1->hide();
            Shape4->hide();
        }
    }
    DBGrid1->showMarks();
}

// One pass over the surface's children, in stack order.
std::vector<CardElement*> Tfrm_Child::selectedElements() const
{
    std::vector<LayerTable::RecordId> sorted = mSelection;
    std::sort(sorted.begin(), sorted.end());
    std::vector<CardElement*> elements;
    elements.reserve(sorted.size());
    for (QObject* child : Surface1->children()) {
        auto* element = qobject_cast<CardElement*>(child);
        if (element && std::binary_search(sorted.begin(), sorted.end(), element->layerId()))
            elements.push_back(element);
    }
    return elements;
}

// A press on a layer that is not selected selects it alone, or with Shift
// or Ctrl adds it; a press on a selected one keeps the selection for a
// drag, and the release decides (releaseSelects). The pressed layer
// becomes current.
void Tfrm_Child::pressSelects(CardElement* element, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    const LayerTable::RecordId layer = element->layerId();
    const bool adding = modifiers & (Qt::ShiftModifier | Qt::ControlModifier);
    mAtRelease = AtRelease::Nothing;
    if (!isSelected(layer)) {
        if (!adding)
            mSelection.clear();
        mSelection.push_back(layer);
    } else {
        if (grouped())
            mAtRelease = adding ? AtRelease::Deselect
                                : (button == Qt::LeftButton ? AtRelease::SelectOnly : AtRelease::Nothing);
        std::erase(mSelection, layer);
        mSelection.push_back(layer);
    }
    mDocument.setCurrent(layer);
    showSelection();
}

// A click that moved nothing.
void Tfrm_Child::releaseSelects()
{
    const AtRelease what = std::exchange(mAtRelease, AtRelease::Nothing);
    const LayerTable::RecordId current = mDocument.current();
    if (what == AtRelease::SelectOnly)
        selectLayers({current});
    else if (what == AtRelease::Deselect)
        toggleLayer(current);
}

void Tfrm_Child::startGroup()
{
    mGroupStart.clear();
    std::vector<QRect> boxes;
    for (CardElement* element : selectedElements()) {
        mGroupStart.emplace_back(element, Surface1->toCard(element->geometry()));
        boxes.push_back(mGroupStart.back().second);
    }
    mGroupBoxAtPress = groupBox(boxes);
}

// Every selected element keeps its place relative to the pressed one,
// which follows the pointer; the group's box snaps as one layer's does.
void Tfrm_Child::moveGroup(CardElement* element, Qt::KeyboardModifiers modifiers, QPoint pos)
{
    const auto pressed = std::find_if(mGroupStart.begin(), mGroupStart.end(),
                                      [&](const auto& start) { return start.first == element; });
    if (pressed == mGroupStart.end())
        return;
    const QPoint wanted = Surface1->toCard(draggedElementPos(element->pos(), mDragOrigin, pos));
    QRect placed;
    showSnap(mGroupBoxAtPress.translated(wanted - pressed->second.topLeft()), !(modifiers & Qt::ControlModifier),
             int(SnapEdges::Move), &placed);
    const QPoint shift = placed.topLeft() - mGroupBoxAtPress.topLeft();
    for (const auto& [moving, box] : mGroupStart)
        if (moving)
            moving->move(Surface1->toScreen(box.topLeft() + shift));
}

// Only a group of pictures and shapes takes a new box: each layer keeps its
// share of the group's box.
void Tfrm_Child::resizeGroup(bool topLeft, Qt::KeyboardModifiers modifiers)
{
    const bool sizable = std::all_of(mGroupStart.begin(), mGroupStart.end(), [](const auto& start) {
        return qobject_cast<PictureElement*>(start.first.data()) || qobject_cast<ShapeElement*>(start.first.data());
    });
    if (!sizable || mGroupStart.empty())
        return;
    const QRect box = Surface1->toCard(boxFromHandles(Shape1->pos(), Shape4->pos(), ResizeHandle::Size));
    QRect sized = box;
    showSnap(box, !(modifiers & Qt::ControlModifier), int(topLeft ? SnapEdges::TopLeft : SnapEdges::BottomRight),
             &sized);
    if (modifiers & Qt::ShiftModifier)
        sized = keptAspect(sized, mGroupBoxAtPress.size(), topLeft ? Handle::TopLeft : Handle::BottomRight);
    if (sized.width() < 1 || sized.height() < 1)
        sized = box;
    for (const auto& [element, start] : mGroupStart)
        if (element)
            element->setGeometry(Surface1->toScreen(scaledInGroup(start, mGroupBoxAtPress, sized)));
    mHandleMoved = true;
}

// The layers lying wholly inside the box drawn on the empty card; with
// Shift or Ctrl they join the selection. A box that holds none changes
// nothing.
void Tfrm_Child::areaChosen(const QRect& cardBox, Qt::KeyboardModifiers modifiers)
{
    std::vector<LayerTable::RecordId> inside;
    for (int row = 0; row < Tbl().StoredCount(); ++row) {
        const CardElement* element = elementOf(Tbl().StoredId(row));
        if (element && !element->isHidden() && cardBox.contains(Surface1->toCard(element->geometry())))
            inside.push_back(element->layerId());
    }
    if (inside.empty())
        return;
    if (modifiers & (Qt::ShiftModifier | Qt::ControlModifier))
        inside.insert(inside.begin(), mSelection.begin(), mSelection.end());
    selectLayers(inside);
}
