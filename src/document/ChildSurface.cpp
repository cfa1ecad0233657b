#include "document/Child.h"

#include "document/PrintedCard.h"
#include "document/QrDialog.h"
#include "editor/Align.h"
#include "editor/CardPicture.h"
#include "editor/CardSurface.h"
#include "editor/ErrorBox.h"
#include "editor/PictureElement.h"
#include "editor/ResizeHandle.h"
#include "editor/ShapeElement.h"
#include "editor/TextElement.h"
#include "layer/LayerFields.h"
#include "layer/LayerItem.h"
#include "layer/LayerRecord.h"
#include "layer/PictureDecoder.h"
#include "layer/Win1250Text.h"
#include "merge/QrCode.h"

#include <QGroupBox>
#include <QLabel>

namespace {


// Set while the surface is built again, whatever happens while it builds:
// the selection sync waits for the whole surface.
class RebuildScope
{
public:
    explicit RebuildScope(bool& updating) : mUpdating(updating) { mUpdating = true; }
    ~RebuildScope() { mUpdating = false; }

private:
    bool& mUpdating;
};

} // namespace

CardElement* Tfrm_Child::findElement(const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    for (QObject* child : Surface1->children()) {
        auto* element = qobject_cast<CardElement*>(child);
        if (element && element->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return element;
    }
    return nullptr;
}

CardElement* Tfrm_Child::elementOf(LayerTable::RecordId id) const
{
    if (id == 0)
        return nullptr;
    for (QObject* child : Surface1->children()) {
        auto* element = qobject_cast<CardElement*>(child);
        if (element && element->layerId() == id)
            return element;
    }
    return nullptr;
}

void Tfrm_Child::removeElements()
{
    const QObjectList children = Surface1->children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (auto* element = qobject_cast<CardElement*>(*it)) {
            if (element == mCurrentElement)
                mCurrentElement = nullptr;
            delete element;
        }
    }
}

// Builds every element again from the table, in table order, so that a layer
// with a higher stacking number lies over the ones below. A layer whose
// picture cannot be shown stands as a placeholder, and once the rest of the
// card stands one error box names every such layer, a line each; a problem
// already named in this window is not named again.
void Tfrm_Child::RebuildElements()
{
    std::vector<Problem> problems;
    {
        RebuildScope scope(mUpdating);
        mRebuildProblems = &problems;
        struct Collected
        {
            std::vector<Problem>*& target;
            ~Collected() { target = nullptr; }
        } collected{mRebuildProblems};
        removeElements();
        mCurrentElement = nullptr;
        for (int row = 0; row < Tbl().StoredCount(); ++row)
            buildElement(Tbl().StoredId(row));
    }
    TblAfterScroll(Tbl());
    std::string unseen;
    for (const Problem& problem : problems) {
        const auto same = [&](const Problem& shown) {
            return shown.layer == problem.layer && shown.what == problem.what;
        };
        if (std::any_of(mShownProblems.begin(), mShownProblems.end(), same))
            continue;
        mShownProblems.push_back(problem);
        unseen += (unseen.empty() ? "" : "\n") + problem.line;
    }
    if (!unseen.empty())
        showError(PictureError(unseen));
}

// A problem names its layer: the description, or the number where there is
// none. Outside a rebuild it is shown at once.
void Tfrm_Child::noteProblem(LayerTable::RecordId id, const std::string& problem)
{
    std::string line = layerName(Tbl(), id).toStdString() + ": " + problem;
    if (!line.empty() && line.back() > '.')
        line += '.';
    if (mRebuildProblems)
        mRebuildProblems->push_back({id, problem, line});
    else
        showError(PictureError(line));
}

// The element of a layer's record, by its kind; none for a kind that is not
// drawn.
CardElement* Tfrm_Child::buildElement(LayerTable::RecordId id)
{
    switch (ReadInt(LayerRef(Tbl(), Tbl().RowOf(id)), Field::tipus, -1)) {
    case 0: return BuildTextElement(id);
    case 1: return BuildImageElement(id);
    case 2: return BuildShapeElement(id);
    default: return nullptr;
    }
}

// A layer's element, drawn from its layer item and placed at the layer's
// position on the card. It belongs to its record, so a name that a foreign
// card gives two layers is shown and edited like any other.
void Tfrm_Child::wireElement(CardElement* element, const LayerItem& item, LayerTable::RecordId id)
{
    const LayerRef record(Tbl(), Tbl().RowOf(id));
    element->setObjectName(fromWin1250(ReadStr(record, Field::compnev)));
    element->setLayerId(id);
    element->setTag(ReadInt(record, Field::sorszam, 0));
    element->setZoom(Surface1->zoom());
    element->setItem(item);
    placeElement(element, item);
    connect(element, &CardElement::pressed, this, &Tfrm_Child::LblMouseDown);
    connect(element, &CardElement::moved, this, &Tfrm_Child::LblMouseMove);
    connect(element, &CardElement::released, this, &Tfrm_Child::LblMouseUp);
    element->show();
    Surface1->raiseLayer(element);
    mCurrentElement = element;
    markElement(element);
}

namespace {

// What a layer warns of, as it prints: a text not wholly on the card, a
// code whose modules print smaller than a phone reads well.
QString layerWarning(const LayerItem& item)
{
    if (item.kind == LayerKind::Text) {
        if (!item.text.text.isEmpty() && !CardArea.contains(item.box))
            return QStringLiteral("A szöveg kilóg a kártyáról: ami a szélén túl van, nem nyomtatódik ki.");
    } else if (item.qr && item.qr->modules && item.qr->modules->size > 0) {
        if (moduleMillimetres(*item.qr->modules, std::min(item.box.width(), item.box.height())) < MinimumModuleMm)
            return smallModuleWarning();
    }
    return {};
}

} // namespace

void Tfrm_Child::markElement(CardElement* element)
{
    const QString warning = layerWarning(element->item());
    if (warning == element->mark())
        return;
    element->setMark(warning);
    if (element == mCurrentElement && StatusWarning)
        StatusWarning(warning);
}

QString Tfrm_Child::currentWarning() const
{
    return mCurrentElement ? mCurrentElement->mark() : QString();
}

CardElement* Tfrm_Child::BuildTextElement(LayerTable::RecordId id)
{
    auto* element = new TextElement(Surface1);
    element->setContextMenu(PopupMenu1);
    connect(element, &CardElement::doubleClicked, this, [this] { action("aBetutipus")->trigger(); });
    LayerItem item = *readLayerItem(LayerRef(Tbl(), Tbl().RowOf(id)), PictureScale::Display);
    if (mDocument.isStruckOut(id))
        item.text.font.setStrikeOut(true);
    wireElement(element, item, id);
    return element;
}

// A picture that cannot be shown stands as a placeholder in its box; its
// bytes stay in the record, so a save writes them back as they were.
CardElement* Tfrm_Child::BuildImageElement(LayerTable::RecordId id)
{
    auto* element = new PictureElement(Surface1);
    element->setContextMenu(PopupMenu2);
    element->setPictureSource([this, id](QSize box, double density) { return pictureOf(id, box, density); });
    connect(element, &CardElement::doubleClicked, this, &Tfrm_Child::pictureDoubleClicked);
    const LayerItem item = *readLayerItem(LayerRef(Tbl(), Tbl().RowOf(id)), PictureScale::Display);
    if (!item.pictureError.empty()) {
        element->setPlaceholder(true);
        noteProblem(id, item.pictureError);
    }
    wireElement(element, item, id);
    return element;
}

CardElement* Tfrm_Child::BuildShapeElement(LayerTable::RecordId id)
{
    auto* element = new ShapeElement(Surface1);
    element->setContextMenu(PopupMenu3);
    wireElement(element, *readLayerItem(LayerRef(Tbl(), Tbl().RowOf(id)), PictureScale::Display), id);
    return element;
}

// Frames the current picture or shape with the two handles, inside its box.
// It runs on every move of the mouse over an element, so it touches only
// what changes.
void Tfrm_Child::PlaceHandles()
{
    QRect box;
    if (grouped()) {
        // The handles frame the box round the selected layers, which
        // shows with each one's outline.
        std::vector<QRect> outlines;
        for (const CardElement* element : selectedElements())
            outlines.push_back(Surface1->toCard(element->geometry()));
        if (outlines.size() < 2) {
            Surface1->showSelection({}, {});
            return;
        }
        const QRect group = groupBox(outlines);
        Surface1->showSelection(outlines, group);
        box = Surface1->toScreen(group);
    } else {
        if (!mCurrentElement || qobject_cast<TextElement*>(mCurrentElement))
            return;
        box = mCurrentElement->geometry();
    }
    const QObjectList& children = Surface1->children();
    const bool onTop = children.size() >= 2 && children[children.size() - 2] == Shape1 && children.back() == Shape4;
    if (!onTop) {
        Shape1->raise();
        Shape4->raise();
    }
    Shape1->show();
    Shape4->show();
    Shape1->move(box.topLeft());
    Shape4->move(box.left() + box.width() - ResizeHandle::Size, box.top() + box.height() - ResizeHandle::Size);
}

// A new layer is built on top; one that comes back takes its place in the
// stack again, under the layer that follows it in table order. The
// document then makes it current, and the panel shows its own page.
void Tfrm_Child::layerAdded(LayerTable::RecordId id)
{
    mStepLayers.push_back(id);
    CardElement* built = buildElement(id);
    for (int row = Tbl().RowOf(id) + 1; built && row < Tbl().StoredCount(); ++row) {
        if (CardElement* above = elementOf(Tbl().StoredId(row))) {
            built->stackUnder(above);
            break;
        }
    }
}

void Tfrm_Child::layerRemoved(LayerTable::RecordId id)
{
    CardElement* element = elementOf(id);
    if (!element)
        return;
    if (element == mCurrentElement)
        mCurrentElement = nullptr;
    delete element;
}

// The element is drawn from its record again. A text keeps the place its
// alignment gave it while its text or font changed, unless the record's
// own place changed; a strike-out chosen in the font dialog stays.
void Tfrm_Child::layerChanged(LayerTable::RecordId id)
{
    mStepLayers.push_back(id);
    CardElement* element = elementOf(id);
    if (!element)
        return;
    const LayerRef record(Tbl(), Tbl().RowOf(id));
    const std::optional<LayerItem> read = readLayerItem(record, PictureScale::Display);
    if (!read)
        return;
    LayerItem item = *read;
    const bool moved = item.box.topLeft() != element->item().box.topLeft();
    if (item.kind == LayerKind::Text) {
        if (mDocument.isStruckOut(id))
            item.text.font.setStrikeOut(true);
        element->setItem(item);
        if (moved)
            placeElement(element, item);
    } else {
        element->setPlaceholder(!item.pictureError.empty());
        element->setItem(item);
        placeElement(element, item);
    }
    element->setTag(ReadInt(record, Field::sorszam, 0));
    markElement(element);
}

void Tfrm_Child::layerMoved(LayerTable::RecordId id)
{
    mStepLayers.push_back(id);
    CardElement* element = elementOf(id);
    if (!element)
        return;
    const LayerRef record(Tbl(), Tbl().RowOf(id));
    element->moveBox(QPoint(ReadInt(record, Field::left, 0), ReadInt(record, Field::top, 0)));
    placeElement(element, element->item());
    markElement(element);
}

void Tfrm_Child::layersReset()
{
    RebuildElements();
}

// A text keeps the size its font gives it at the zoom; a picture or shape
// takes its box's.
void Tfrm_Child::placeElement(CardElement* element, const LayerItem& item)
{
    if (item.kind == LayerKind::Text)
        element->move(Surface1->toScreen(item.box.topLeft()));
    else
        element->setGeometry(Surface1->toScreen(item.box));
}

// The picture of a layer for its element, read by the layer's record
// without moving the table's cursor.
LayerPicture Tfrm_Child::pictureOf(LayerTable::RecordId id, QSize box, double density) const
{
    const int row = Tbl().RowOf(id);
    if (row < 0)
        return {};
    // A card from an older version may lack a field.
    auto stored = [&](std::string_view field) -> const FieldValue* {
        const int index = Tbl().FieldIndex(std::string(field));
        return index < 0 ? nullptr : &Tbl().StoredValue(row, index);
    };
    const FieldValue* kep = stored(Field::kep);
    const FieldValue* keptip = stored(Field::keptip);
    const FieldValue* strech = stored(Field::strech);
    const auto* bytes = kep ? std::get_if<Blob>(kep) : nullptr;
    const auto* extension = keptip ? std::get_if<std::string>(keptip) : nullptr;
    const auto* stretch = strech ? std::get_if<bool>(strech) : nullptr;
    if (!bytes || !extension)
        return {};
    try {
        return surfacePicture(bytes->bytes(), *extension, box, stretch && *stretch, density);
    } catch (const std::exception&) {
        return {};  // the element keeps the picture it has
    }
}
