#include "editor/ActionTable.h"

#include "editor/ErrorBox.h"
#include "editor/ImageList.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QWidget>

#include <stdexcept>

ActionTable::ActionTable(QWidget* owner, Qt::ShortcutContext context)
    : mOwner(owner)
    , mContext(context)
{
}

QAction* ActionTable::add(const char* name, const char* caption, const char* hint, const char* shortcut,
                          const char* category, int image, int group, bool checked, bool checkable,
                          std::function<void()> handler)
{
    auto* action = new QAction(ImageList::icon(image), QString::fromUtf8(caption), mOwner);
    action->setObjectName(name);
    const QString hintText = QString::fromUtf8(hint ? hint : caption);
    // The hint is the tool tip only: the main window's status bar stays empty.
    action->setToolTip(hintText);
    action->setProperty("hint", hintText);
    action->setProperty("category", QString::fromUtf8(category));
    action->setProperty("imageIndex", image);
    action->setProperty("tag", 0);
    // Several keys are written "Ctrl+Y; Shift+Ctrl+Z"; the first is the one
    // the menus show.
    action->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(shortcut)));
    action->setShortcutContext(mContext);
    action->setCheckable(checkable);
    action->setChecked(checked);
    if (group != 0) {
        mGroups[group].push_back(action);
        mGroupOf[action] = group;
    }
    action->setEnabled(static_cast<bool>(handler));
    if (handler)
        QObject::connect(action, &QAction::triggered, mOwner, [run = std::move(handler)] { guarded(run); });
    mOwner->addAction(action);
    mByName.emplace(name, action);
    mOrder.push_back(action);
    return action;
}

QAction* ActionTable::operator[](std::string_view name) const
{
    const auto found = mByName.find(name);
    if (found == mByName.end())
        throw std::logic_error("No action named " + std::string(name));
    return found->second;
}

void ActionTable::checkInGroup(QAction* action) const
{
    action->setChecked(true);
    const auto group = mGroupOf.find(action);
    if (group == mGroupOf.end())
        return;
    for (QAction* other : mGroups.at(group->second))
        if (other != action)
            other->setChecked(false);
}

void ActionTable::addTo(QMenu* menu, std::initializer_list<std::string_view> names) const
{
    for (std::string_view name : names) {
        if (name == Separator)
            menu->addSeparator()->setProperty("tag", 0);
        else
            menu->addAction((*this)[name]);
    }
}

void ActionTable::addTo(QToolBar* bar, std::initializer_list<std::string_view> names, QSize buttonSize) const
{
    for (std::string_view name : names) {
        if (name == Separator) {
            bar->addSeparator();
            continue;
        }
        QAction* action = (*this)[name];
        bar->addAction(action);
        // The button's size, widened where its caption would not fit in
        // the interface's font, which may be larger than the one the sizes
        // were chosen for.
        if (QWidget* button = bar->widgetForAction(action); button && buttonSize.isValid()) {
            button->setFixedHeight(buttonSize.height());
            button->setMinimumWidth(buttonSize.width());
        }
    }
}
