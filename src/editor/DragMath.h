#pragma once

#include <QPoint>
#include <QRect>

// The numbers of moving and resizing elements on the card surface, as plain
// values, so that they can be checked without a window.

// Where an element goes when the pointer, pressed at pressedAt inside it,
// is now at pointer inside it: the point first pressed stays under the
// pointer. There is no grid and no clamping.
QPoint draggedElementPos(QPoint elementPos, QPoint pressedAt, QPoint pointer);

enum class Handle { TopLeft, BottomRight };

// Where a dragged handle goes: where it was when pressed, moved by what the
// pointer has moved on the screen since. It stops where the box would
// become narrower or lower than 1 pixel, so that the box can always be seen
// and grabbed again; otherHandle is where the other handle stands.
QPoint draggedHandlePos(Handle handle, QPoint handleAtPress, QPoint pointerAtPress, QPoint pointerNow,
                        QPoint otherHandle, int handleSize);

// The element's box from its two handles' top-left corners: the top-left
// handle gives the left and top edges, the bottom-right one the right and
// bottom edges.
QRect boxFromHandles(QPoint topLeftHandle, QPoint bottomRightHandle, int handleSize);

// Card pixels and screen pixels at a zoom in percent. A card position goes
// to the screen scaled and rounded half away from zero; a screen position
// comes back as the nearest card pixel, so that every card pixel comes
// back as itself, negative ones included.
int screenPixels(int card, int zoomPercent);
int cardPixels(int screen, int zoomPercent);

// The box a picture's handle gives with its aspect kept: the larger of the
// two scales the dragged box asks for, from the corner that stays.
QRect keptAspect(const QRect& box, QSize aspect, Handle moving);
