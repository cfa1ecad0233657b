#pragma once

#include <QIcon>
#include <QPixmap>

// The program's one list of 16 x 16 pictures on a transparent background,
// shared by the main window's menus and tool bar and by every card window.
// Actions and the layer list refer to pictures by index only. Each picture
// is made on its first use, so start-up pays only for those it shows.
class ImageList
{
public:
    // The 63 pictures the program started with, then those of the commands
    // added since (63 undo, 64 redo, 65 printing on card stock, 66 QR code,
    // 67 mail merge, 68-70 zoom, 71-72 centring, 73 duplicate, 74-76 copy,
    // cut and paste, 77 the print shop's PDF, 78 its cut lines, 79-84
    // aligning layers, 85-86 spacing them).
    static constexpr int Count = 87;
    static constexpr int Size = 16;

    // A null icon outside 0..Count-1, so that an action without a picture
    // shows none.
    static const QIcon& icon(int index);
    static QPixmap pixmap(int index);
};
