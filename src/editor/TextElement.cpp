#include "editor/TextElement.h"

#include <QPainter>

TextElement::TextElement(QWidget* cardBox)
    : CardElement(cardBox)
{
}

void TextElement::setLook(const TextLook& look)
{
    mLook = look;
    fitToText();
}

void TextElement::setText(const QString& text)
{
    mLook.text = text;
    fitToText();
}

void TextElement::setLayerFont(const QFont& font)
{
    mLook.font = font;
    fitToText();
}

void TextElement::setColor(const QColor& color)
{
    mLook.color = color;
    update();
}

// The element is exactly as wide as its text, so the alignment shows only
// in which edge stays put the next time the size changes.
void TextElement::setAlignment(TextAlignment alignment)
{
    mLook.alignment = alignment;
    update();
}

// The first fit only sizes the element: its place comes from the layer.
// After that a right-aligned text grows and shrinks to the left; the
// others, centred ones included, keep their left edge.
void TextElement::fitToText()
{
    const QSize size = textExtent(mLook);
    if (mFitted && mLook.alignment == TextAlignment::Right)
        setGeometry(x() + width() - size.width(), y(), size.width(), size.height());
    else
        resize(size);
    mFitted = true;
    update();
}

void TextElement::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintText(painter, rect(), mLook);
}
