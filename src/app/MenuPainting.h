#pragma once

#include <QKeySequence>
#include <QProxyStyle>
#include <QString>

class QWidget;

// The program paints its menus itself: the main window's menu bar and
// drop-down menus and the card windows' context menus. Top-level items of a
// menu bar (tag 1) and every other item (tag 0, separators included) each
// have their rules of size and look; the window list that "Ablak" ends with
// keeps the system's look.
class MenuStyle : public QProxyStyle
{
    Q_OBJECT

public:
    MenuStyle();

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
};

// Gives the window's menu bar and every menu it owns the program's painting
// and the system's menu font, which the interface font size leaves alone.
void HookMenuPainting(QWidget* window);

// A short-cut as the menus write it: "Shift+", "Ctrl+", "Alt+" in that
// order, then the key's name ("Shift+Ctrl+S", "F1", "Ctrl+Del").
QString shortcutText(const QKeySequence& shortcut);

// The measures of a tag 0 item: 23 pixels high (12 for a separator), and
// 78 pixels plus the caption and the short-cut written together (45 plus a
// "-" for a separator).
QSize menuItemSize(const QFontMetrics& metrics, const QString& caption, const QString& shortcut, bool separator);

// A menu entry that keeps the system's painting.
inline constexpr const char* SystemLookProperty = "systemLook";
