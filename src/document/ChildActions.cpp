#include "document/Child.h"

#include "editor/ImageList.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace {

struct ActionSpec
{
    const char* name;
    const char* caption;
    const char* hint;  // nullptr: the caption
    const char* shortcut;
    const char* category;
    int image;
    int group;  // radio group, 0 for none
    bool checked;
    bool checkable;
};

// Every command of the card window, with its caption, hint, short-cut and
// picture; grouped commands behave as radio items.
const ActionSpec CardActions[] = {
    {"aSzoveg", "Új szöveg", "Szöveg", "F2", "Réteg", 12, 0, false, false},
    {"aKep", "Új kép", "Kép", "F3", "Réteg", 13, 0, false, false},
    {"aAlakzat", "Új alakzat", "Alakzat", "F4", "Réteg", 14, 0, false, false},
    {"aTorol", "Réteg törlése", nullptr, "Ctrl+Del", "Réteg", 11, 0, false, false},
    {"aFeljebb", "Előtérbe hoz", nullptr, "", "Réteg", 23, 0, false, false},
    {"aHatrabb", "Háttérbe rak", "Hátrább", "", "Réteg", 24, 0, false, false},
    {"aBezar", "Bezár", nullptr, "", "File", 6, 0, false, false},

    {"aFelkover", "Félkövér", nullptr, "Ctrl+B", "Szöveg", 15, 0, false, true},
    {"aDolt", "Dőlt", nullptr, "Ctrl+I", "Szöveg", 16, 0, false, true},
    {"aAlahuzott", "Aláhúzott", nullptr, "Ctrl+U", "Szöveg", 17, 0, false, true},
    {"aBalra", "Balra", nullptr, "Ctrl+L", "Szöveg", 18, 1, true, true},
    {"aKozepre", "Középre", nullptr, "Ctrl+E", "Szöveg", 19, 1, false, true},
    {"aJobbra", "Jobbra", nullptr, "Ctrl+R", "Szöveg", 20, 1, false, true},
    {"aSzin", "Szín", nullptr, "Ctrl+J", "Szöveg", 21, 0, false, false},
    {"aBetutipus", "Betűtípus", nullptr, "Ctrl+F", "Szöveg", 56, 0, false, false},

    {"aNyujtas", "Nyújtás", nullptr, "", "Kép", 53, 44, true, true},
    {"aNormal", "Eredeti méret", "Normál", "", "Kép", 52, 44, false, true},
    {"aKepValaszt", "Kép választ", nullptr, "", "Kép", 13, 0, false, false},

    {"aTeglalap", "Téglalap", nullptr, "", "Alakzat", 48, 21, true, true},
    {"aKor", "Kör", nullptr, "", "Alakzat", 49, 21, false, true},
    {"aES0", "Teljes kitöltés", nullptr, "", "Alakzat", 35, 22, true, true},
    {"aES1", "Jobbra átlós", nullptr, "", "Alakzat", 31, 22, false, true},
    {"aES2", "Balra átlós", nullptr, "", "Alakzat", 32, 22, false, true},
    {"aES3", "Négyzetrács", nullptr, "", "Alakzat", 33, 22, false, true},
    {"aES4", "Átlós négyzetrács", nullptr, "", "Alakzat", 34, 22, false, true},
    {"aES5", "Vízszintes csíkos", nullptr, "", "Alakzat", 29, 22, false, true},
    {"aES6", "Függőleges csíkos", nullptr, "", "Alakzat", 30, 22, false, true},
    {"aCS0", "Folyamatos", nullptr, "", "Alakzat", 43, 33, true, true},
    {"aCS1", "Pont", nullptr, "", "Alakzat", 47, 33, false, true},
    {"aCS2", "Vonal, pont", nullptr, "", "Alakzat", 44, 33, false, true},
    {"aCS3", "Vonal, vonal", nullptr, "", "Alakzat", 45, 33, false, true},
    {"aCS4", "Vonal, pont, pont", nullptr, "", "Alakzat", 46, 33, false, true},
    {"aV1", "Vonal: 1px", "Vonal vastagság: 1px", "", "Alakzat", 36, 11, true, true},
    {"aV2", "2px", nullptr, "", "Alakzat", 37, 11, false, true},
    {"aV3", "3px", nullptr, "", "Alakzat", 38, 11, false, true},
    {"aV4", "4px", nullptr, "", "Alakzat", 39, 11, false, true},
    {"aV5", "5px", nullptr, "", "Alakzat", 40, 11, false, true},
    {"aV6", "6px", nullptr, "", "Alakzat", 41, 11, false, true},
    {"aV7", "7px", nullptr, "", "Alakzat", 42, 11, false, true},
    {"aEcsetSzin", "Ecset színe", nullptr, "", "Alakzat", 50, 0, false, false},
    {"aCeruzaSzin", "Ceruza színe", nullptr, "", "Alakzat", 51, 0, false, false},
};

} // namespace

// A command without a handler stays disabled; the handlers enable theirs.
void Tfrm_Child::createActions()
{
    std::map<int, QActionGroup*> groups;
    for (const auto& entry : CardActions) {
        auto* action = new QAction(ImageList::icon(entry.image), QString::fromUtf8(entry.caption), this);
        action->setObjectName(entry.name);
        const QString hint = QString::fromUtf8(entry.hint ? entry.hint : entry.caption);
        // Hints show as tool tips only: the main window's status bar stays empty.
        action->setToolTip(hint);
        action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        action->setProperty("category", QString::fromUtf8(entry.category));
        action->setProperty("imageIndex", entry.image);
        action->setCheckable(entry.checkable);
        action->setChecked(entry.checked);
        action->setEnabled(false);
        if (entry.group != 0) {
            QActionGroup*& group = groups[entry.group];
            if (!group) {
                group = new QActionGroup(this);
                // The selection sync may leave a group with nothing checked.
                group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
            }
            group->addAction(action);
        }
        addAction(action);
        mActions[entry.name] = action;
    }
    QAction* close = action("aBezar");
    connect(close, &QAction::triggered, this, &Tfrm_Child::aBezarExecute);
    close->setEnabled(true);
}

QAction* Tfrm_Child::action(const char* name) const
{
    auto found = mActions.find(name);
    return found == mActions.end() ? nullptr : found->second;
}

void Tfrm_Child::createPopupMenus()
{
    auto menu = [this](const char* name, std::initializer_list<const char*> items) {
        auto* popup = new QMenu(mClient);
        popup->setObjectName(name);
        for (const char* item : items) {
            if (*item == '-')
                popup->addSeparator();
            else
                popup->addAction(action(item));
        }
        return popup;
    };
    PopupMenu1 = menu("PopupMenu1", {"aBetutipus", "aSzin", "-", "aFelkover", "aDolt", "aAlahuzott", "-", "aBalra",
                                     "aKozepre", "aJobbra", "-"});
    PopupMenu2 = menu("PopupMenu2", {"aNyujtas", "aNormal", "-", "aKepValaszt"});
    PopupMenu3 = menu("PopupMenu3", {"aTeglalap", "aKor", "-", "aEcsetSzin", "aCeruzaSzin", "-"});
    auto submenu = [this](const QString& title, std::initializer_list<const char*> items) {
        QMenu* sub = PopupMenu3->addMenu(title);
        for (const char* item : items)
            sub->addAction(action(item));
    };
    submenu("Kitöltés", {"aES0", "aES1", "aES2", "aES3", "aES4", "aES5", "aES6"});
    submenu("Vonal", {"aCS0", "aCS1", "aCS2", "aCS3", "aCS4"});
    submenu("Vonal vastagság", {"aV1", "aV2", "aV3", "aV4", "aV5", "aV6", "aV7"});
}
