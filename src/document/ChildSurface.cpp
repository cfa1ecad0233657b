#include "document/Child.h"

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

#include <QGroupBox>
#include <QLabel>

namespace {

// The card picture's top-left pixel inside the card box: the origin of every
// layer's left and top.
constexpr QPoint CardOrigin(8, 24);

QString elementName(const LayerTable& table)
{
    return fromWin1250(ReadStr(table, Field::compnev));
}

// Restores what the rebuild suspended, whatever happens while it builds.
class RebuildScope
{
public:
    RebuildScope(Tfrm_Child& window, LayerTable::Handler sync)
        : mWindow(window), mSync(std::move(sync))
    {
        mWindow.Tbl.AfterScroll = nullptr;
        mWindow.Updating = true;
    }
    ~RebuildScope()
    {
        if (mControlsPaused)
            mWindow.Tbl.EnableControls();
        mWindow.Tbl.AfterScroll = mSync;
        mWindow.Updating = false;
    }
    void pauseControls()
    {
        mWindow.Tbl.DisableControls();
        mControlsPaused = true;
    }

private:
    Tfrm_Child& mWindow;
    LayerTable::Handler mSync;
    bool mControlsPaused = false;
};

} // namespace

CardElement* Tfrm_Child::findElement(const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    for (QObject* child : GroupBox1->children()) {
        auto* element = qobject_cast<CardElement*>(child);
        if (element && element->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return element;
    }
    return nullptr;
}

void Tfrm_Child::removeElements()
{
    const QObjectList children = GroupBox1->children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (auto* element = qobject_cast<CardElement*>(*it)) {
            if (element == CurrentElement)
                CurrentElement = nullptr;
            delete element;
        }
    }
}

// Builds every element again from the table, in table order, so that a layer
// with a higher stacking number lies over the ones below. A layer whose
// element cannot be built (a picture that does not decode, a clashing name)
// is reported once the rest of the card stands.
void Tfrm_Child::RebuildElements()
{
    std::string firstFailure;
    {
        RebuildScope scope(*this, [this](LayerTable& t) { TblAfterScroll(t); });
        removeElements();
        CurrentElement = nullptr;
        const int current = Tbl.StoredCount() > 0 ? ReadInt(Tbl, Field::sorszam, 0) : 0;

        scope.pauseControls();
        Tbl.MoveFirst();
        while (!Tbl.AtEnd()) {
            try {
                switch (ReadInt(Tbl, Field::tipus, -1)) {
                case 0: BuildTextElement(); break;
                case 1: BuildImageElement(); break;
                case 2: BuildShapeElement(); break;
                default: break;
                }
            } catch (const std::exception& error) {
                if (firstFailure.empty())
                    firstFailure = error.what();
            }
            Tbl.MoveNext();
        }
        Tbl.LocateRecord(Field::sorszam, current);
    }
    if (Tbl.StoredCount() == 0)
        showTabs(-1);
    if (!firstFailure.empty())
        throw PictureError(firstFailure);
}

// The element of the record at the cursor, drawn from its layer item and
// placed at the layer's position on the card.
void Tfrm_Child::wireElement(CardElement* element, const LayerItem& item)
{
    const QString name = elementName(Tbl);
    if (findElement(name)) {
        delete element;
        throw TableError("A component named " + name.toStdString() + " already exists");
    }
    element->setObjectName(name);
    element->setTag(ReadInt(Tbl, Field::sorszam, 0));
    element->setItem(item);
    if (item.kind == LayerKind::Text)
        element->move(CardOrigin + item.box.topLeft());
    else
        element->setGeometry(QRect(CardOrigin + item.box.topLeft(), item.box.size()));
    connect(element, &CardElement::pressed, this, &Tfrm_Child::LblMouseDown);
    connect(element, &CardElement::moved, this, &Tfrm_Child::LblMouseMove);
    connect(element, &CardElement::released, this, &Tfrm_Child::LblMouseUp);
    element->show();
    element->raise();
    CurrentElement = element;
}

CardElement* Tfrm_Child::BuildTextElement()
{
    auto* element = new TextElement(GroupBox1);
    element->setContextMenu(PopupMenu1);
    connect(element, &CardElement::doubleClicked, this, [this] {
        if (QAction* font = action("aBetutipus"); font->isEnabled())
            font->trigger();
    });
    wireElement(element, *readLayerItem(Tbl, PictureScale::Display));
    return element;
}

// A picture that cannot be shown leaves an empty box; the error follows
// once the element stands.
CardElement* Tfrm_Child::BuildImageElement()
{
    auto* element = new PictureElement(GroupBox1);
    element->setContextMenu(PopupMenu2);
    connect(element, &CardElement::doubleClicked, this, [this] {
        if (QAction* choose = action("aKepValaszt"); choose->isEnabled())
            choose->trigger();
    });
    const LayerItem item = *readLayerItem(Tbl, PictureScale::Display);
    wireElement(element, item);
    if (!item.pictureError.empty())
        throw PictureError(item.pictureError);
    return element;
}

CardElement* Tfrm_Child::BuildShapeElement()
{
    auto* element = new ShapeElement(GroupBox1);
    element->setContextMenu(PopupMenu3);
    wireElement(element, *readLayerItem(Tbl, PictureScale::Display));
    return element;
}

// Frames the current picture or shape with the two handles, inside its box.
void Tfrm_Child::PlaceHandles()
{
    if (!CurrentElement || qobject_cast<TextElement*>(CurrentElement))
        return;
    Shape1->show();
    Shape4->show();
    Shape1->raise();
    Shape4->raise();
    const QRect box = CurrentElement->geometry();
    Shape1->move(box.topLeft());
    Shape4->move(box.left() + box.width() - ResizeHandle::Size, box.top() + box.height() - ResizeHandle::Size);
}

// A press selects the element's layer; a text element's font becomes the
// font of the next new text layer.
void Tfrm_Child::LblMouseDown(CardElement* element, Qt::MouseButton, Qt::KeyboardModifiers, QPoint pos)
{
    guarded([&] {
        Dragging = true;
        mDragOrigin = pos;
        if (auto* text = qobject_cast<TextElement*>(element)) {
            const TextLook& look = text->look();
            TextFont = look.font;
            TextFont.setPointSize(look.points);
        }
        if (Tbl.IsEditing())
            Tbl.PostRecord();
        Tbl.LocateRecord(Field::sorszam, element->tag());
    });
}

void Tfrm_Child::LblMouseMove(CardElement*, Qt::KeyboardModifiers, QPoint)
{
}

void Tfrm_Child::LblMouseUp(CardElement*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint)
{
    Dragging = false;
}
