#pragma once

#include "editor/CardElement.h"

// A single line of text, exactly as large as its text in its font, with no
// background. When the text or font changes, a right-aligned element keeps
// its right edge, the others their left edge.
class TextElement : public CardElement
{
    Q_OBJECT

public:
    explicit TextElement(QWidget* cardBox);

    void setItem(const LayerItem& item) override;
    const TextLook& look() const { return mItem.text; }
    void setLook(const TextLook& look);
    void setText(const QString& text);
    void setLayerFont(const QFont& font);
    void setColor(const QColor& color);
    void setAlignment(TextAlignment alignment);
    void setZoom(int percent) override;

private:
    void fitToText();

    bool mFitted = false;
};
