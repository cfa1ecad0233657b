#include "editor/TextElement.h"

#include "editor/DragMath.h"

TextElement::TextElement(QWidget* cardBox)
    : CardElement(cardBox)
{
    mItem.kind = LayerKind::Text;
}

void TextElement::setItem(const LayerItem& item)
{
    mItem = item;
    fitToText();
}

void TextElement::setLook(const TextLook& look)
{
    mItem.text = look;
    fitToText();
}

void TextElement::setText(const QString& text)
{
    mItem.text.text = text;
    fitToText();
}

void TextElement::setLayerFont(const QFont& font)
{
    mItem.text.font = font;
    fitToText();
}

void TextElement::setColor(const QColor& color)
{
    mItem.text.color = color;
    redraw();
}

// The element is exactly as wide as its text, so the alignment shows only
// in which edge stays put the next time the size changes.
void TextElement::setAlignment(TextAlignment alignment)
{
    mItem.text.alignment = alignment;
    redraw();
}

// The first fit only sizes the element: its place comes from the layer.
// After that a right-aligned text grows and shrinks to the left; the
// others, centred ones included, keep their left edge.
void TextElement::setZoom(int percent)
{
    if (percent == zoom())
        return;
    CardElement::setZoom(percent);
    mFitted = false;
    fitToText();
}

void TextElement::fitToText()
{
    const QSize extent = textExtent(mItem.text);
    const QSize size(screenPixels(extent.width(), zoom()), screenPixels(extent.height(), zoom()));
    if (mFitted && mItem.text.alignment == TextAlignment::Right)
        setGeometry(x() + width() - size.width(), y(), size.width(), size.height());
    else
        resize(size);
    mFitted = true;
    redraw();
}
