#include "app/MenuPainting.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOptionMenuItem>

namespace {

const QColor HighlightFill(222, 170, 141);
const QColor HighlightOutline(128, 128, 128);
const QColor DisabledText(128, 128, 128);
const QColor ItemBackground(222, 222, 222);
const QColor SeparatorLine(162, 162, 162);
constexpr int ImageSize = 16;

QString withoutMnemonics(QString caption)
{
    return caption.remove(QLatin1Char('&'));
}

// The caption and Qt's own short-cut text, which QMenu puts after a tab.
std::pair<QString, QString> captionAndShortcut(const QString& text)
{
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    if (tab < 0)
        return {text, QString()};
    return {text.left(tab), shortcutText(QKeySequence::fromString(text.mid(tab + 1), QKeySequence::NativeText))};
}

MenuStyle& menuStyle()
{
    static MenuStyle* style = [] {
        auto* made = new MenuStyle;
        made->setParent(qApp);
        return made;
    }();
    return *style;
}

// Entries that are not the program's own keep the system's painting. While
// a menu is measured its items' options carry the whole menu's rectangle,
// so the entry is then found by its caption among the system's entries.
bool systemLook(const QStyleOptionMenuItem& item, const QWidget* widget)
{
    const auto* menu = qobject_cast<const QMenu*>(widget);
    if (!menu)
        return false;
    if (item.rect.isValid() && item.rect != menu->rect()) {
        const QAction* action = menu->actionAt(item.rect.center());
        return action && action->property(SystemLookProperty).toBool();
    }
    const QString caption = item.text.section(QLatin1Char('\t'), 0, 0);
    for (const QAction* candidate : menu->actions())
        if (candidate->property(SystemLookProperty).toBool() && candidate->text() == caption)
            return true;
    return false;
}

void drawMenuItem(const QStyleOptionMenuItem& item, QPainter& painter)
{
    const QRect& r = item.rect;
    const int left = r.left();
    const int top = r.top();
    const int right = r.left() + r.width();
    const int bottom = r.top() + r.height();
    const bool highlighted = item.state & QStyle::State_Selected;
    int shift = 0;
    if (highlighted) {
        painter.fillRect(r, HighlightFill);
        painter.setPen(HighlightOutline);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        shift = -1;
    } else {
        painter.fillRect(r, ItemBackground);
    }
    if (item.menuItemType == QStyleOptionMenuItem::Separator) {
        painter.setPen(SeparatorLine);
        const int y = top + (bottom - top) / 2;
        painter.drawLine(left + 2, y, right - 3, y);
        return;
    }
    const auto [caption, shortcut] = captionAndShortcut(item.text);
    painter.setFont(item.font);
    const QFontMetrics metrics(item.font);
    const bool enabled = item.state & QStyle::State_Enabled;
    painter.setPen(enabled ? item.palette.color(QPalette::Active, QPalette::Text) : DisabledText);
    const int line = metrics.height();
    painter.drawText(QRect(left + 22, top + 4, right - left, line), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     withoutMnemonics(caption));
    // An item that opens a menu of its own shows the system's arrow at its
    // right end, as menus always do.
    if (item.menuItemType == QStyleOptionMenuItem::SubMenu) {
        QStyleOption arrow = item;
        arrow.rect = QRect(right - 4 - ImageSize / 2 - 4, top + (bottom - top - ImageSize / 2) / 2, ImageSize / 2,
                           ImageSize / 2);
        arrow.palette.setColor(QPalette::ButtonText, painter.pen().color());
        arrow.state &= ~QStyle::State_Selected;
        QApplication::style()->drawPrimitive(QStyle::PE_IndicatorArrowRight, &arrow, &painter);
    }
    if (!shortcut.isEmpty()) {
        const int width = metrics.horizontalAdvance(shortcut);
        painter.drawText(QRect(right - width - 4, top + 4, width, line), Qt::AlignLeft | Qt::AlignTop, shortcut);
    }
    if (item.checkType != QStyleOptionMenuItem::NotCheckable && item.checked) {
        QFont bullet = item.font;
        bullet.setFamily(QStringLiteral("Wingdings"));
        if (QFontInfo(bullet).family() == QStringLiteral("Wingdings")) {
            painter.setFont(bullet);
            painter.drawText(QRect(left + 8, top + 5, 16, QFontMetrics(bullet).height()),
                             Qt::AlignLeft | Qt::AlignTop, QStringLiteral("l"));
            painter.setFont(item.font);
        } else {
            // Without the symbol face its "l" would be a letter: the same
            // round bullet, drawn.
            const int size = std::max(4, QFontMetrics(item.font).ascent() * 2 / 3);
            painter.save();
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setBrush(painter.pen().color());
            painter.drawEllipse(QRectF(left + 8 + 1, top + 5 + (QFontMetrics(item.font).ascent() - size) / 2.0 + 1,
                                       size, size));
            painter.restore();
        }
        return;
    }
    // The image in its normal look, also for a disabled item.
    if (!item.icon.isNull())
        painter.drawPixmap(left + 2 + shift, top + 2 + shift, item.icon.pixmap(ImageSize, QIcon::Normal, QIcon::Off));
}

void drawMenuBarItem(const QStyleOptionMenuItem& item, QPainter& painter)
{
    const QRect& r = item.rect;
    if (item.state & (QStyle::State_Selected | QStyle::State_Sunken)) {
        const QRect inset = r.adjusted(2, 2, -2, -2);
        painter.fillRect(inset, HighlightFill);
        painter.setPen(HighlightOutline);
        painter.drawRect(inset.adjusted(0, 0, -1, -1));
    } else {
        painter.fillRect(r, item.palette.color(QPalette::Button));
    }
    painter.setFont(item.font);
    painter.setPen(item.palette.color(QPalette::Active, QPalette::ButtonText));
    painter.drawText(QRect(r.left() + 7, r.top() + 3, r.width(), r.height()), Qt::AlignLeft | Qt::AlignTop,
                     withoutMnemonics(item.text));
}

} // namespace

MenuStyle::MenuStyle()
    : QProxyStyle()
{
}

QString shortcutText(const QKeySequence& shortcut)
{
    if (shortcut.isEmpty())
        return {};
    const QKeyCombination key = shortcut[0];
    QString text;
    if (key.keyboardModifiers() & Qt::ShiftModifier)
        text += QStringLiteral("Shift+");
    if (key.keyboardModifiers() & Qt::ControlModifier)
        text += QStringLiteral("Ctrl+");
    if (key.keyboardModifiers() & Qt::AltModifier)
        text += QStringLiteral("Alt+");
    return text + QKeySequence(key.key()).toString(QKeySequence::PortableText);
}

QSize menuItemSize(const QFontMetrics& metrics, const QString& caption, const QString& shortcut, bool separator)
{
    if (separator)
        return {45 + metrics.horizontalAdvance(QStringLiteral("-")), 12};
    return {78 + metrics.horizontalAdvance(withoutMnemonics(caption) + shortcut), 23};
}

void MenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                            const QWidget* widget) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (item && element == CE_MenuItem && !systemLook(*item, widget)) {
        painter->save();
        drawMenuItem(*item, *painter);
        painter->restore();
        return;
    }
    if (item && element == CE_MenuBarItem) {
        painter->save();
        drawMenuBarItem(*item, *painter);
        painter->restore();
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

namespace {

// The widest short-cut text as the menu writes it itself, which it adds to
// the widest item after measuring them all.
int shortcutColumn(const QMenu& menu)
{
    int widest = 0;
    const QFontMetrics metrics = menu.fontMetrics();
    for (const QAction* action : menu.actions()) {
        if (!action->isVisible() || action->isSeparator())
            continue;
        const QString text = action->text();
        const qsizetype tab = text.indexOf(QLatin1Char('\t'));
        if (tab >= 0)
            widest = std::max(widest, metrics.horizontalAdvance(text.mid(tab + 1)));
        else if (!action->shortcut().isEmpty())
            widest = std::max(widest, metrics.horizontalAdvance(action->shortcut().toString(QKeySequence::NativeText)));
    }
    return widest;
}

} // namespace

QSize MenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                  const QWidget* widget) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (item && type == CT_MenuItem && !systemLook(*item, widget)) {
        const auto [caption, shortcut] = captionAndShortcut(item->text);
        QSize measured = menuItemSize(QFontMetrics(item->font), caption, shortcut,
                                      item->menuItemType == QStyleOptionMenuItem::Separator);
        // The item's width holds its own short-cut already; an empty size
        // would hide the item.
        if (const auto* menu = qobject_cast<const QMenu*>(widget))
            measured.setWidth(std::max(1, measured.width() - shortcutColumn(*menu)));
        return measured;
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

// The items fill the menu from edge to edge, as they are measured.
int MenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_MenuPanelWidth:
    case PM_MenuHMargin:
    case PM_MenuVMargin:
    case PM_MenuDesktopFrameWidth:
        return qobject_cast<const QMenu*>(widget) ? 0 : QProxyStyle::pixelMetric(metric, option, widget);
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

void HookMenuPainting(QWidget* window)
{
    const QFont menuFont = QApplication::font("QMenu");
    for (QMenuBar* bar : window->findChildren<QMenuBar*>()) {
        bar->setStyle(&menuStyle());
        bar->setFont(QApplication::font("QMenuBar"));
    }
    for (QMenu* menu : window->findChildren<QMenu*>()) {
        menu->setStyle(&menuStyle());
        menu->setFont(menuFont);
    }
}
