#include "merge/TextFit.h"

#include <algorithm>

int textRoom(const QRect& box, TextAlignment alignment)
{
    const int left = CardArea.left() + TextMargin;
    const int right = CardArea.left() + CardArea.width() - TextMargin;
    int room = 0;
    switch (alignment) {
    case TextAlignment::Left:
        room = right - box.left();
        break;
    case TextAlignment::Right:
        room = box.left() + box.width() - left;
        break;
    case TextAlignment::Center: {
        // Twice the nearer side, counted in half pixels so that an odd
        // width centred on a pixel boundary is not one short.
        const int centre2 = 2 * box.left() + box.width();
        room = std::min(centre2 - 2 * left, 2 * right - centre2);
        break;
    }
    }
    return std::max(0, room);
}

QRect anchoredTextBox(const QRect& designed, TextAlignment alignment, QSize size)
{
    int left = designed.left();
    if (alignment == TextAlignment::Right)
        left = designed.left() + designed.width() - size.width();
    else if (alignment == TextAlignment::Center)
        left = designed.left() + (designed.width() - size.width()) / 2;
    return {QPoint(left, designed.top()), size};
}

FittedText fitText(TextLook& look, const QRect& designed, TextFit fit)
{
    QSize size = textExtent(look);
    const int room = textRoom(designed, look.alignment);
    if (fit == TextFit::Off || size.width() <= room)
        return {anchoredTextBox(designed, look.alignment, size), FitOutcome::Fits};
    // A text already at or below the smallest size stays as it is.
    if (look.points <= SmallestFitPoints)
        return {anchoredTextBox(designed, look.alignment, size), FitOutcome::TooLong};
    for (int points = look.points - 1; points >= SmallestFitPoints; --points) {
        look.points = points;
        look.font.setPixelSize(std::max(1, pointsToPixels(points)));
        size = textExtent(look);
        if (size.width() <= room)
            return {anchoredTextBox(designed, look.alignment, size), FitOutcome::Shrunk};
    }
    return {anchoredTextBox(designed, look.alignment, size), FitOutcome::TooLong};
}
