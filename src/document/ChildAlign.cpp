#include "document/Child.h"

#include "editor/ActionTable.h"
#include "editor/Align.h"
#include "editor/CardElement.h"
#include "editor/CardPicture.h"
#include "editor/CardSurface.h"
#include "layer/LayerFields.h"

#include <QAction>

void Tfrm_Child::aIgazitBalraExecute()
{
    alignSelection(int(Alignment::Left), "aIgazitBalra");
}

void Tfrm_Child::aIgazitVizszintesenExecute()
{
    alignSelection(int(Alignment::HorizontalCentre), "aIgazitVizszintesen");
}

void Tfrm_Child::aIgazitJobbraExecute()
{
    alignSelection(int(Alignment::Right), "aIgazitJobbra");
}

void Tfrm_Child::aIgazitFelulreExecute()
{
    alignSelection(int(Alignment::Top), "aIgazitFelulre");
}

void Tfrm_Child::aIgazitFuggolegesenExecute()
{
    alignSelection(int(Alignment::VerticalCentre), "aIgazitFuggolegesen");
}

void Tfrm_Child::aIgazitAlulraExecute()
{
    alignSelection(int(Alignment::Bottom), "aIgazitAlulra");
}

void Tfrm_Child::aElosztVizszintesenExecute()
{
    distributeSelection(Qt::Horizontal, "aElosztVizszintesen");
}

void Tfrm_Child::aElosztFuggolegesenExecute()
{
    distributeSelection(Qt::Vertical, "aElosztFuggolegesen");
}

namespace {

// The boxes the selected layers are drawn in, in card pixels: a text's is
// the one its font gives it at the zoom, as the card's centring takes it.
std::vector<QRect> cardBoxes(const CardSurface& surface, const std::vector<CardElement*>& elements)
{
    std::vector<QRect> boxes;
    boxes.reserve(elements.size());
    for (const CardElement* element : elements)
        boxes.push_back(surface.toCard(element->geometry()));
    return boxes;
}

} // namespace

// The selected layers to their new corners, as one step; layers that stay
// where they are are not part of it.
void Tfrm_Child::placeSelection(const std::vector<QPoint>& places, const char* name)
{
    const std::vector<CardElement*> elements = selectedElements();
    CardDocument::LayerValues moves;
    moves.reserve(elements.size());
    for (std::size_t i = 0; i < elements.size() && i < places.size(); ++i)
        moves.push_back(
            {elements[i]->layerId(), {{Field::left, std::int32_t(places[i].x())}, {Field::top, std::int32_t(places[i].y())}}});
    mDocument.changeLayers(moves, action(name)->text());
}

// Against each other, or against the card for a single layer.
void Tfrm_Child::alignSelection(int alignment, const char* name)
{
    const std::vector<CardElement*> elements = selectedElements();
    if (elements.empty())
        return;
    const std::vector<QRect> boxes = cardBoxes(*Surface1, elements);
    const QRect frame = elements.size() > 1 ? groupBox(boxes) : QRect(QPoint(0, 0), CardPicture::Card.size());
    placeSelection(aligned(boxes, Alignment(alignment), frame), name);
}

void Tfrm_Child::distributeSelection(Qt::Orientation along, const char* name)
{
    const std::vector<CardElement*> elements = selectedElements();
    if (elements.size() < 3)
        return;
    placeSelection(distributed(cardBoxes(*Surface1, elements), along), name);
}

void Tfrm_Child::aVizszintesKozepreExecute()
{
    centreOnCard(Qt::Horizontal, "aVizszintesKozepre");
}

void Tfrm_Child::aFuggolegesKozepreExecute()
{
    centreOnCard(Qt::Vertical, "aFuggolegesKozepre");
}

// The box the layer is drawn in goes to the middle of the card, to the
// nearest whole pixel left or up; several layers go there as one, the box
// round them all centred and their places within it kept.
void Tfrm_Child::centreOnCard(Qt::Orientation along, const char* name)
{
    if (!mCurrentElement)
        return;
    const QSize card = CardPicture::Card.size();
    if (!grouped()) {
        const QRect box = Surface1->toCard(mCurrentElement->geometry());
        if (along == Qt::Horizontal)
            changeCurrent(name, {{Field::left, (card.width() - box.width()) / 2}});
        else
            changeCurrent(name, {{Field::top, (card.height() - box.height()) / 2}});
        return;
    }
    const std::vector<QRect> boxes = cardBoxes(*Surface1, selectedElements());
    const QRect group = groupBox(boxes);
    const QRect centred = QRect(aligned({group}, along == Qt::Horizontal ? Alignment::HorizontalCentre
                                                                          : Alignment::VerticalCentre,
                                        QRect(QPoint(0, 0), card))
                                    .front(),
                                group.size());
    std::vector<QPoint> places;
    for (const QRect& box : boxes)
        places.push_back(box.topLeft() + centred.topLeft() - group.topLeft());
    placeSelection(places, name);
}
