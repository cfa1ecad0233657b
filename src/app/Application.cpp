#include "app/Application.h"

#include "editor/CardSurface.h"
#include "editor/ErrorBox.h"
#include "editor/ImageList.h"

#include <QKeyEvent>
#include <QLibraryInfo>
#include <QScrollArea>
#include <QScrollBar>
#include <QTranslator>
#include <QWheelEvent>
#include <QWidget>

// The hook Qt's own test library types keys through: the key is offered as a
// short-cut exactly as a typed one is. Exported by QtGui under its public
// version; true when a short-cut took the key.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text = QString(), bool autorep = false,
                                               ushort count = 1);

namespace {

constexpr int LaporaImage = 22;

// The scrolling card box of a card window, where the widget lies in it.
const QScrollArea* cardBoxOf(const QObject* watched)
{
    for (auto* widget = qobject_cast<const QWidget*>(watched); widget; widget = widget->parentWidget())
        if (auto* box = qobject_cast<const QScrollArea*>(widget); box && qobject_cast<CardSurface*>(box->widget()))
            return box;
    return nullptr;
}

} // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    // The name the desktop shows; no display name, which Qt would add to
    // every window's caption ("Lapora — Lapora2").
    setApplicationName(ApplicationTitle);
    // The menu bar stays in the window, where the program paints its items,
    // also on desktops that offer a menu bar of their own.
    setAttribute(Qt::AA_DontUseNativeMenuBar);
    // The program's picture, also in the corner of every card window.
    setWindowIcon(ImageList::icon(LaporaImage));
    installEventFilter(new WheelToArrowKeys(this));
    installHungarianTranslation();
}

Qt::Key wheelKey(int delta)
{
    return delta > 0 ? Qt::Key_Up : Qt::Key_Down;
}

bool WheelToArrowKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel || !watched->isWidgetType())
        return false;
    auto* wheel = static_cast<QWheelEvent*>(event);
    // A sideways turn is another kind of message and stays a wheel.
    if (wheel->angleDelta().y() == 0 && wheel->angleDelta().x() != 0)
        return false;
    // Over the card, Ctrl and the wheel zoom, and the wheel scrolls a card
    // larger than its box.
    if (const QScrollArea* box = cardBoxOf(watched)) {
        if ((wheel->modifiers() & Qt::ControlModifier) || box->verticalScrollBar()->maximum() > 0)
            return false;
    }
    // Touchpad gestures open and close with markers that carry no turn.
    if (wheel->phase() != Qt::ScrollBegin && wheel->phase() != Qt::ScrollEnd)
        pressArrow(static_cast<QWidget*>(watched), *wheel);
    wheel->accept();
    return true;
}

void WheelToArrowKeys::pressArrow(QWidget* receiver, const QWheelEvent& wheel)
{
    // An open menu or list pop-up takes the keys, as it does typed ones.
    QWidget* target = QApplication::activePopupWidget();
    if (!target)
        target = QApplication::focusWidget();
    if (!target)
        target = receiver;
    // The card surface's arrows move the layer: a turn of the wheel must not.
    if (qobject_cast<CardSurface*>(target))
        return;
    const Qt::Key key = wheelKey(wheel.angleDelta().y());
    const Qt::KeyboardModifiers modifiers = wheel.modifiers();
    if (qt_sendShortcutOverrideEvent(target, wheel.timestamp(), key, modifiers))
        return;
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &press);
}

bool installHungarianTranslation()
{
    static QTranslator* translator = nullptr;
    if (translator)
        return true;
    auto* loaded = new QTranslator(QCoreApplication::instance());
    if (!loaded->load(QStringLiteral("qtbase_hu"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete loaded;
        return false;
    }
    QCoreApplication::installTranslator(loaded);
    translator = loaded;
    return true;
}
