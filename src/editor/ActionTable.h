#pragma once

#include <QSize>
#include <Qt>

#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QMenu;
class QToolBar;
class QWidget;

// One command of a window: name, caption, hint (nullptr: the caption; "":
// none), short-cut as key text (several separated by "; "), category, image
// index, radio group (0 for none), initial check, whether it checks at all,
// and its handler.
template <class Owner>
struct ActionRow
{
    const char* name;
    const char* caption;
    const char* hint;
    const char* shortcut;
    const char* category;
    int image;
    int group;
    bool checked;
    bool checkable;
    void (Owner::*handler)();
};

// Stands for a separator in a list of action names.
inline constexpr std::string_view Separator = "-";

// A window's commands, built from its table. A command with a handler is
// enabled and runs it through the one error box; one without stays
// disabled, as commands that are not built yet are shown. Every action
// carries what the menu painting needs: "category", "imageIndex", "hint"
// and the item's "tag" (0; top-level menu items carry 1).
//
// Radio groups are kept here rather than by Qt: Qt only flips a triggered
// action's own mark, and the handlers decide what the group shows.
class ActionTable
{
public:
    ActionTable(QWidget* owner, Qt::ShortcutContext context);

    template <class Owner, std::size_t N>
    void build(Owner* owner, const ActionRow<Owner> (&rows)[N])
    {
        for (const ActionRow<Owner>& row : rows) {
            std::function<void()> run;
            if (row.handler)
                run = [owner, handler = row.handler] { (owner->*handler)(); };
            add(row.name, row.caption, row.hint, row.shortcut, row.category, row.image, row.group,
                row.checked, row.checkable, std::move(run));
        }
    }

    QAction* add(const char* name, const char* caption, const char* hint, const char* shortcut,
                 const char* category, int image, int group, bool checked, bool checkable,
                 std::function<void()> handler);

    // A name that is not in the table is a programming error: it throws
    // std::logic_error, never gives a null action.
    QAction* operator[](std::string_view name) const;

    // Checks the action and unchecks the others of its radio group.
    void checkInGroup(QAction* action) const;
    const std::vector<QAction*>& actions() const { return mOrder; }

    // The named actions in order; Separator adds a separator.
    void addTo(QMenu* menu, std::initializer_list<std::string_view> names) const;
    // As above; buttons get the given size when one is given.
    void addTo(QToolBar* bar, std::initializer_list<std::string_view> names, QSize buttonSize = {}) const;

private:
    QWidget* mOwner;
    Qt::ShortcutContext mContext;
    std::map<std::string, QAction*, std::less<>> mByName;
    std::vector<QAction*> mOrder;
    std::map<int, std::vector<QAction*>> mGroups;
    std::map<const QAction*, int> mGroupOf;
};
