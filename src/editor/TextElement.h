#pragma once

#include "document/LayerLook.h"
#include "editor/CardElement.h"

// A single line of text, exactly as large as its text in its font, with no
// background. When the text or font changes, a right-aligned element keeps
// its right edge, the others their left edge.
class TextElement : public CardElement
{
    Q_OBJECT

public:
    explicit TextElement(QWidget* cardBox);

    const TextLook& look() const { return mLook; }
    void setLook(const TextLook& look);
    void setText(const QString& text);
    void setLayerFont(const QFont& font);
    void setColor(const QColor& color);
    void setAlignment(TextAlignment alignment);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void fitToText();

    TextLook mLook;
    bool mFitted = false;
};
