#include "document/Child.h"

#include "editor/CardElement.h"
#include "editor/CardPicture.h"
#include "editor/CardSurface.h"
#include "editor/ResizeHandle.h"
#include "layer/LayerFields.h"
#include "layer/LayerItem.h"

#include <QAction>
#include <QComboBox>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>

namespace {

// The next zoom offered in or out from one; the last or the first at the
// ends.
int steppedZoom(int from, int steps)
{
    const std::vector<int>& zooms = CardSurface::zooms();
    if (steps > 0) {
        const auto next = std::upper_bound(zooms.begin(), zooms.end(), from);
        return next != zooms.end() ? *next : zooms.back();
    }
    const auto at = std::lower_bound(zooms.begin(), zooms.end(), from);
    return at != zooms.begin() ? *(at - 1) : zooms.front();
}

} // namespace

int Tfrm_Child::zoom() const
{
    return Surface1->zoom();
}

void Tfrm_Child::aNagyitasExecute()
{
    setZoom(steppedZoom(zoom(), 1));
}

void Tfrm_Child::aKicsinyitesExecute()
{
    setZoom(steppedZoom(zoom(), -1));
}

void Tfrm_Child::aEredetiNagysagExecute()
{
    setZoom(100);
}

// A zoom the surface does not offer is taken as the nearest it does.
void Tfrm_Child::setZoom(int percent)
{
    const std::vector<int>& zooms = CardSurface::zooms();
    const int nearest = *std::min_element(zooms.begin(), zooms.end(),
                                          [&](int a, int b) { return std::abs(a - percent) < std::abs(b - percent); });
    Surface1->setZoom(nearest);
    ZoomBox1->setCurrentIndex(ZoomBox1->findData(nearest));
    action("aNagyitas")->setEnabled(nearest < zooms.back());
    action("aKicsinyites")->setEnabled(nearest > zooms.front());
    action("aEredetiNagysag")->setEnabled(nearest != 100);
    if (ZoomChosen)
        ZoomChosen(nearest);
}

// Every element is drawn and placed again at the new zoom, from its layer;
// the card point in the middle of the view stays in the middle.
void Tfrm_Child::zoomChanged()
{
    const QWidget* view = ScrollBox1->viewport();
    const QPoint middle = Surface1->mapFrom(view, view->rect().center());
    const QPoint cardMiddle = Surface1->toCard(middle);
    for (QObject* child : Surface1->children()) {
        if (auto* element = qobject_cast<CardElement*>(child)) {
            element->setZoom(Surface1->zoom());
            placeElement(element, element->item());
        }
    }
    if (mCurrentElement && !Shape1->isHidden())
        PlaceHandles();
    // The scroll area learns the surface's new size first.
    Surface1->adjustSize();
    ScrollBox1->widget()->resize(ScrollBox1->widget()->size().expandedTo(Surface1->minimumSize()));
    const QPoint target = Surface1->toScreen(cardMiddle);
    ScrollBox1->ensureVisible(target.x(), target.y(), view->width() / 2, view->height() / 2);
}

// Arrow keys on the surface: a burst on one layer is one step.
void Tfrm_Child::nudge(QPoint step)
{
    if (!mCurrentElement || Tbl().RecordTotal() == 0)
        return;
    if (grouped()) {
        std::vector<std::pair<LayerTable::RecordId, QPoint>> moves;
        for (CardElement* element : selectedElements())
            moves.emplace_back(element->layerId(), Surface1->toCard(element->geometry()).topLeft() + step);
        mDocument.nudgeLayers(moves, QStringLiteral("Léptetés"));
        return;
    }
    const QRect box = Surface1->toCard(mCurrentElement->geometry());
    const QPoint at = box.topLeft() + step;
    mDocument.nudge(mCurrentElement->layerId(), at, QStringLiteral("Léptetés"));
}
