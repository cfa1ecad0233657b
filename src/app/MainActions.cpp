#include "app/Main.h"

#include "editor/ImageList.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr int StatusPanelWidth = 50;
constexpr int StatusPanelCount = 3;

// Menu items of the frame are painted by kind: top-level items are tag 1,
// the rest tag 0.
QMenu* addTopMenu(QMenuBar* bar, const char* name, const QString& caption)
{
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setProperty("tag", 1);
    return menu;
}

void addItems(QMenu* menu, std::initializer_list<QAction*> items)
{
    for (QAction* item : items) {
        if (item)
            menu->addAction(item);
        else
            menu->addSeparator()->setProperty("tag", 0);
    }
}

} // namespace

QAction* Tfrm_Main::makeAction(const char* name, const char* category, const char* caption, const char* hint,
                               const QKeySequence& shortcut, int image)
{
    auto* action = new QAction(ImageList::icon(image), QString::fromUtf8(caption), this);
    action->setObjectName(name);
    action->setProperty("category", QString::fromUtf8(category));
    action->setProperty("imageIndex", image);
    action->setProperty("tag", 0);
    // The hint is the tool tip only: the status bar stays empty.
    const QString hintText = hint ? QString::fromUtf8(hint) : QString();
    action->setProperty("hint", hintText);
    action->setToolTip(hintText);
    action->setShortcut(shortcut);
    return action;
}

void Tfrm_Main::createActions()
{
    const QKeySequence none;
    aUj = makeAction("aUj", "File", "Új", "Új", QKeySequence(Qt::CTRL | Qt::Key_N), 0);
    aMegnyit = makeAction("aMegnyit", "File", "Megnyit", nullptr, QKeySequence(Qt::CTRL | Qt::Key_O), 1);
    aMent = makeAction("aMent", "File", "Mentés", "Mentés", QKeySequence(Qt::CTRL | Qt::Key_S), 2);
    aMentMaskent = makeAction("aMentMaskent", "File", "Mentés másként", "Mentés másként",
                              QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_S), 3);
    aBezar = makeAction("aBezar", "File", "Bezár", "Bezár", none, 6);
    aNyomKep = makeAction("aNyomKep", "Nyomtatás", "Nyomtatási kép", "Nyomtatási kép",
                          QKeySequence(Qt::CTRL | Qt::Key_K), 4);
    aNyomtat = makeAction("aNyomtat", "Nyomtatás", "Nyomtat", "Nyomtat", QKeySequence(Qt::CTRL | Qt::Key_P), 5);
    aRendeles = makeAction("aRendeles", "Nyomtatás", "Megrendelem...", "Megrendelem...",
                           QKeySequence(Qt::CTRL | Qt::Key_M), 58);
    aBeallit = makeAction("aBeallit", "Rendszer", "Beállítások", "Beállítások", none, 57);
    aBetuNovel = makeAction("aBetuNovel", "Nézet", "Betűméret növelése", " Betűméret növelése",
                            QKeySequence(Qt::Key_F11), 54);
    aBetuCsokkent = makeAction("aBetuCsokkent", "Nézet", "Betűméret csökkentése", "Betűméret csökkentése",
                               QKeySequence(Qt::Key_F12), 55);
    aSugo = makeAction("aSugo", "Súgó", "Súgó", "Súgó", QKeySequence(Qt::Key_F1), 59);
    aHonlap = makeAction("aHonlap", "Súgó", "Ruvenda honlapja", "Ruvenda honlapja", none, 60);
    aUjdonsag = makeAction("aUjdonsag", "Súgó", "Újdonságok, verziókövetés", "Újdonságok, verziókövetés", none,
                           61);
    aLevel = makeAction("aLevel", "Súgó", "Levélküldés Ruvendanak", "Levélküldés Ruvendanak", none, 62);
    aLapora = makeAction("aLapora", "Súgó", "Lapora", "Lapora", none, 22);
    aWindowCascade1 = makeAction("aWindowCascade1", "Window", "Mind látszik", "Mind látszik", none, 9);
    aWindowTileHorizontal1 = makeAction("aWindowTileHorizontal1", "Window", "Egymás alatt", "Egymás alatt", none, 8);
    aWindowTileVertical1 = makeAction("aWindowTileVertical1", "Window", "Egymás mellett", "Egymás mellett", none, 7);

    connect(aUj, &QAction::triggered, this, &Tfrm_Main::aUjExecute);
    connect(aMegnyit, &QAction::triggered, this, &Tfrm_Main::aMegnyitExecute);
    connect(aMent, &QAction::triggered, this, &Tfrm_Main::aMentExecute);
    connect(aMentMaskent, &QAction::triggered, this, &Tfrm_Main::aMentMaskentExecute);
    connect(aBezar, &QAction::triggered, this, &Tfrm_Main::aBezarExecute);
    connect(aNyomKep, &QAction::triggered, this, &Tfrm_Main::aNyomKepExecute);
    connect(aNyomtat, &QAction::triggered, this, &Tfrm_Main::aNyomtatExecute);
    connect(aBetuNovel, &QAction::triggered, this, &Tfrm_Main::aBetuNovelExecute);
    connect(aBetuCsokkent, &QAction::triggered, this, &Tfrm_Main::aBetuCsokkentExecute);
    connect(aWindowCascade1, &QAction::triggered, this, &Tfrm_Main::aWindowCascade1Execute);
    connect(aWindowTileHorizontal1, &QAction::triggered, this, &Tfrm_Main::aWindowTileHorizontal1Execute);
    connect(aWindowTileVertical1, &QAction::triggered, this, &Tfrm_Main::aWindowTileVertical1Execute);

    // Commands with no handler yet are shown greyed and their keys do
    // nothing; "Megrendelem..." never has one.
    for (QAction* idle : {aRendeles, aBeallit, aSugo, aHonlap, aUjdonsag, aLevel, aLapora})
        idle->setEnabled(false);
    updateWindowActions();
}

void Tfrm_Main::createMenu()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName("MainMenu1");
    addItems(addTopMenu(MainMenu1, "mnFile", QStringLiteral("File")),
             {aUj, aMegnyit, nullptr, aMent, aMentMaskent, nullptr, aNyomtat, nullptr, aBezar});
    addItems(addTopMenu(MainMenu1, "mnNyomtatas", QStringLiteral("Nyomtatás")),
             {aNyomKep, aNyomtat, nullptr, aRendeles});
    addItems(addTopMenu(MainMenu1, "mnRendszer", QStringLiteral("Rendszer")), {aBeallit});
    mnAblak = addTopMenu(MainMenu1, "mnAblak", QStringLiteral("Ablak"));
    addItems(mnAblak, {aWindowCascade1, aWindowTileHorizontal1, aWindowTileVertical1, nullptr});
    connect(mnAblak, &QMenu::aboutToShow, this, &Tfrm_Main::rebuildWindowList);
    addItems(addTopMenu(MainMenu1, "mnSugo", QStringLiteral("Súgó")),
             {aSugo, nullptr, aHonlap, aUjdonsag, nullptr, aLevel, nullptr, aLapora});
}

void Tfrm_Main::createToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setIconSize(QSize(ImageList::Size, ImageList::Size));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    addToolBar(Qt::TopToolBarArea, ToolBar1);
    QAction* const separator = nullptr;
    for (QAction* item : {aUj, aMegnyit, separator, aMent, aMentMaskent, separator, aNyomKep, aNyomtat, separator,
                          aRendeles, separator, aBetuNovel, aBetuCsokkent, separator, aBezar}) {
        if (!item) {
            ToolBar1->addSeparator();
            continue;
        }
        ToolBar1->addAction(item);
        ToolBar1->widgetForAction(item)->installEventFilter(this);
    }
}

void Tfrm_Main::createStatusBar()
{
    StatusBar1 = statusBar();
    StatusBar1->setObjectName("StatusBar1");
    for (int i = 0; i < StatusPanelCount; ++i) {
        auto* panel = new QLabel(StatusBar1);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        panel->setFixedWidth(StatusPanelWidth);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        StatusBar1->addWidget(panel);
    }
}
