#include "app/Main.h"

#include "editor/ActionTable.h"
#include "editor/ImageList.h"
#include "document/Child.h"

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

} // namespace

namespace {

// Every command of the frame. Commands without a handler show greyed and
// their keys do nothing; "Megrendelem..." never has one.
const ActionRow<Tfrm_Main> MainActions[] = {
    {"aUj", "Új", "Új", "Ctrl+N", "File", 0, 0, false, false, &Tfrm_Main::aUjExecute},
    {"aMegnyit", "Megnyit", "", "Ctrl+O", "File", 1, 0, false, false, &Tfrm_Main::aMegnyitExecute},
    {"aMent", "Mentés", "Mentés", "Ctrl+S", "File", 2, 0, false, false, &Tfrm_Main::aMentExecute},
    {"aMentMaskent", "Mentés másként", "Mentés másként", "Shift+Ctrl+S", "File", 3, 0, false, false,
     &Tfrm_Main::aMentMaskentExecute},
    {"aBezar", "Bezár", "Bezár", "", "File", 6, 0, false, false, &Tfrm_Main::aBezarExecute},
    {"aVisszavonas", "Visszavonás", nullptr, "Ctrl+Z", "Szerkesztés", 63, 0, false, false,
     &Tfrm_Main::aVisszavonasExecute},
    {"aMegis", "Mégis", nullptr, "Ctrl+Y; Shift+Ctrl+Z", "Szerkesztés", 64, 0, false, false,
     &Tfrm_Main::aMegisExecute},
    {"aNyomKep", "Nyomtatási kép", "Nyomtatási kép", "Ctrl+K", "Nyomtatás", 4, 0, false, false,
     &Tfrm_Main::aNyomKepExecute},
    {"aNyomtat", "Nyomtat", "Nyomtat", "Ctrl+P", "Nyomtatás", 5, 0, false, false, &Tfrm_Main::aNyomtatExecute},
    {"aNyomtatas", "Nyomtatás...", "Nyomtatás...", "Shift+Ctrl+P", "Nyomtatás", 65, 0, false, false,
     &Tfrm_Main::aNyomtatasExecute},
    {"aKorlevel", "Körlevél...", "Körlevél...", "", "Nyomtatás", 67, 0, false, false, &Tfrm_Main::aKorlevelExecute},
    {"aNyomdaiPdf", "Nyomdai PDF...", "A kártya nyomdának: PDF kifutóval, vágójelekkel, CMYK-ban", "", "Nyomtatás", 77,
     0, false, false, &Tfrm_Main::aNyomdaiPdfExecute},
    {"aRendeles", "Megrendelem...", "Megrendelem...", "Ctrl+M", "Nyomtatás", 58, 0, false, false, nullptr},
    {"aBeallit", "Beállítások", "Beállítások", "", "Rendszer", 57, 0, false, false, &Tfrm_Main::aBeallitExecute},
    {"aBetuNovel", "Betűméret növelése", " Betűméret növelése", "F11", "Nézet", 54, 0, false, false,
     &Tfrm_Main::aBetuNovelExecute},
    {"aBetuCsokkent", "Betűméret csökkentése", "Betűméret csökkentése", "F12", "Nézet", 55, 0, false, false,
     &Tfrm_Main::aBetuCsokkentExecute},
    {"aSugo", "Súgó", "Súgó", "F1", "Súgó", 59, 0, false, false, &Tfrm_Main::aSugoExecute},
    {"aHonlap", "Ruvenda honlapja", "Ruvenda honlapja", "", "Súgó", 60, 0, false, false,
     &Tfrm_Main::aHonlapExecute},
    {"aUjdonsag", "Újdonságok, verziókövetés", "Újdonságok, verziókövetés", "", "Súgó", 61, 0, false, false,
     &Tfrm_Main::aUjdonsagExecute},
    {"aLevel", "Levélküldés Ruvendanak", "Levélküldés Ruvendanak", "", "Súgó", 62, 0, false, false,
     &Tfrm_Main::aLevelExecute},
    {"aLapora", "Lapora", "Lapora", "", "Súgó", 22, 0, false, false, &Tfrm_Main::aLaporaExecute},
    {"aWindowCascade1", "Mind látszik", "Mind látszik", "", "Window", 9, 0, false, false,
     &Tfrm_Main::aWindowCascade1Execute},
    {"aWindowTileHorizontal1", "Egymás alatt", "Egymás alatt", "", "Window", 8, 0, false, false,
     &Tfrm_Main::aWindowTileHorizontal1Execute},
    {"aWindowTileVertical1", "Egymás mellett", "Egymás mellett", "", "Window", 7, 0, false, false,
     &Tfrm_Main::aWindowTileVertical1Execute},
};

} // namespace

void Tfrm_Main::createActions()
{
    mActions = std::make_unique<ActionTable>(this, Qt::WindowShortcut);
    mActions->build(this, MainActions);
    // The keys belong to the card windows' own commands, which the menu
    // items stand for; here they are only shown.
    for (const char* name : {"aVisszavonas", "aMegis"})
        action(name)->setShortcutContext(Qt::WidgetShortcut);
    updateWindowActions();
    followHistories();
}

QAction* Tfrm_Main::action(std::string_view name) const
{
    return (*mActions)[name];
}

void Tfrm_Main::createMenu()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName("MainMenu1");
    mnFile = addTopMenu(MainMenu1, "mnFile", QStringLiteral("File"));
    mActions->addTo(mnFile, {"aUj", "aMegnyit", Separator, "aMent", "aMentMaskent", Separator, "aNyomtat",
                             "aNyomdaiPdf", Separator, "aBezar"});
    connect(mnFile, &QMenu::aboutToShow, this, &Tfrm_Main::rebuildRecentList);
    mActions->addTo(addTopMenu(MainMenu1, "mnSzerkesztes", QStringLiteral("Szerkesztés")),
                    {"aVisszavonas", "aMegis"});
    mActions->addTo(addTopMenu(MainMenu1, "mnNyomtatas", QStringLiteral("Nyomtatás")),
                    {"aNyomKep", "aNyomtat", "aNyomtatas", "aKorlevel", "aNyomdaiPdf", Separator, "aRendeles"});
    mActions->addTo(addTopMenu(MainMenu1, "mnRendszer", QStringLiteral("Rendszer")), {"aBeallit"});
    mnAblak = addTopMenu(MainMenu1, "mnAblak", QStringLiteral("Ablak"));
    mActions->addTo(mnAblak, {"aWindowCascade1", "aWindowTileHorizontal1", "aWindowTileVertical1", Separator});
    connect(mnAblak, &QMenu::aboutToShow, this, &Tfrm_Main::rebuildWindowList);
    mActions->addTo(addTopMenu(MainMenu1, "mnSugo", QStringLiteral("Súgó")),
                    {"aSugo", Separator, "aHonlap", "aUjdonsag", Separator, "aLevel", Separator, "aLapora"});
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
    mActions->addTo(ToolBar1, {"aUj", "aMegnyit", Separator, "aMent", "aMentMaskent", Separator, "aNyomKep",
                               "aNyomtat", "aNyomtatas", Separator, "aRendeles", Separator, "aBetuNovel", "aBetuCsokkent",
                               Separator, "aBezar"});
    for (QAction* item : ToolBar1->actions()) {
        if (QWidget* button = ToolBar1->widgetForAction(item); button && !item->isSeparator())
            button->installEventFilter(this);
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
    // The active card's current layer's warning, in red, for as long as it
    // holds.
    LblWarning = new QLabel(StatusBar1);
    LblWarning->setObjectName("LblFigyelmeztetes");
    LblWarning->setStyleSheet(QStringLiteral("color: #cc0000"));
    StatusBar1->addWidget(LblWarning, 1);
}

// The history commands of the menu follow the active card window's: its
// step's name in the caption, disabled where it has none to take.
void Tfrm_Main::followHistories()
{
    auto update = [this] {
        auto follow = [](QAction* command, const QString& caption, bool can, const QString& step) {
            command->setText(step.isEmpty() ? caption : caption + QStringLiteral(": ") + step);
            command->setEnabled(can);
        };
        follow(action("aVisszavonas"), QStringLiteral("Visszavonás"), mHistories.canUndo(), mHistories.undoText());
        follow(action("aMegis"), QStringLiteral("Mégis"), mHistories.canRedo(), mHistories.redoText());
    };
    connect(&mHistories, &QUndoGroup::activeStackChanged, this, update);
    connect(&mHistories, &QUndoGroup::indexChanged, this, update);
    connect(&mHistories, &QUndoGroup::cleanChanged, this, update);
    update();
}

void Tfrm_Main::aVisszavonasExecute()
{
    if (Tfrm_Child* card = activeCard())
        card->aVisszavonasExecute();
}

void Tfrm_Main::aMegisExecute()
{
    if (Tfrm_Child* card = activeCard())
        card->aMegisExecute();
}
