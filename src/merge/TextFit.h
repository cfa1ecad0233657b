#pragma once

#include "layer/LayerItem.h"

#include <QString>

// Whether a merge's filled texts are made smaller where they would not fit.
enum class TextFit { Shrink, Off };

// Nothing of a text is printed closer than this to the card's edge where it
// grows: 3 mm in card pixels.
inline constexpr int TextMargin = 11;
// The smallest size a filled text is made.
inline constexpr int SmallestFitPoints = 6;

// The room a text has on the card, in card pixels, as its alignment grows
// it from its place (box, the text as designed): from its left to the
// margin before the card's right edge; for a right-aligned text, from the
// margin after the card's left edge to its right; for a centred one, both
// ways from its centre as far as the nearer margin. None (0) when its
// anchor lies in the margin or off the card.
int textRoom(const QRect& box, TextAlignment alignment);

// The box of a text grown or shrunk to the size given from its place as
// designed: a left-aligned text keeps its left edge, a right-aligned one
// its right edge, a centred one its centre; all keep their top.
QRect anchoredTextBox(const QRect& designed, TextAlignment alignment, QSize size);

// What fitting did to one text.
enum class FitOutcome { Fits, Shrunk, TooLong };

// A filled text (look) placed from its designed box: the box it takes, and
// with Shrink, made smaller one point at a time, down to 6 points, until
// it fits its room. One that does not fit even then is drawn at 6 points
// (a text designed smaller keeps its size).
struct FittedText
{
    QRect box;
    FitOutcome outcome = FitOutcome::Fits;
};
FittedText fitText(TextLook& look, const QRect& designed, TextFit fit);
