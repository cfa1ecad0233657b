#include "document/Child.h"

#include "editor/ActionTable.h"
#include "editor/PictureElement.h"

#include <QAction>
#include <QMenu>
#include <QUndoStack>

namespace {

// Every command of the card window, with its caption, hint, short-cut and
// picture; grouped commands behave as radio items.
const ActionRow<Tfrm_Child> CardActions[] = {
    {"aSzoveg", "Új szöveg", "Szöveg", "F2", "Réteg", 12, 0, false, false, &Tfrm_Child::aSzovegExecute},
    {"aKep", "Új kép", "Kép", "F3", "Réteg", 13, 0, false, false, &Tfrm_Child::aKepExecute},
    {"aQrKod", "Új QR-kód", "QR-kód", "F5", "Réteg", 66, 0, false, false, &Tfrm_Child::aQrKodExecute},
    {"aAlakzat", "Új alakzat", "Alakzat", "F4", "Réteg", 14, 0, false, false, &Tfrm_Child::aAlakzatExecute},
    {"aTorol", "Réteg törlése", nullptr, "Ctrl+Del", "Réteg", 11, 0, false, false, &Tfrm_Child::aTorolExecute},
    {"aFeljebb", "Előtérbe hoz", nullptr, "", "Réteg", 23, 0, false, false, &Tfrm_Child::aFeljebbExecute},
    {"aHatrabb", "Háttérbe rak", "Hátrább", "", "Réteg", 24, 0, false, false, &Tfrm_Child::aHatrabbExecute},
    {"aBezar", "Bezár", nullptr, "", "File", 6, 0, false, false, &Tfrm_Child::aBezarExecute},

    {"aVisszavonas", "Visszavonás", nullptr, "Ctrl+Z", "Szerkesztés", 63, 0, false, false,
     &Tfrm_Child::aVisszavonasExecute},
    {"aMegis", "Mégis", nullptr, "Ctrl+Y; Shift+Ctrl+Z", "Szerkesztés", 64, 0, false, false,
     &Tfrm_Child::aMegisExecute},
    {"aKivagas", "Kivágás", nullptr, "Ctrl+X", "Szerkesztés", 75, 0, false, false, &Tfrm_Child::aKivagasExecute},
    {"aMasolas", "Másolás", nullptr, "Ctrl+C", "Szerkesztés", 74, 0, false, false, &Tfrm_Child::aMasolasExecute},
    {"aBeillesztes", "Beillesztés", nullptr, "Ctrl+V", "Szerkesztés", 76, 0, false, false,
     &Tfrm_Child::aBeillesztesExecute},
    {"aDuplikalas", "Réteg másolása", nullptr, "Ctrl+D", "Réteg", 73, 0, false, false,
     &Tfrm_Child::aDuplikalasExecute},
    {"aVizszintesKozepre", "Vízszintesen középre", nullptr, "", "Réteg", 71, 0, false, false,
     &Tfrm_Child::aVizszintesKozepreExecute},
    {"aFuggolegesKozepre", "Függőlegesen középre", nullptr, "", "Réteg", 72, 0, false, false,
     &Tfrm_Child::aFuggolegesKozepreExecute},
    {"aMindet", "Összes kijelölése", nullptr, "Ctrl+A", "Szerkesztés", -1, 0, false, false,
     &Tfrm_Child::aMindetExecute},

    {"aIgazitBalra", "Igazítás balra", nullptr, "", "Igazítás", 79, 0, false, false, &Tfrm_Child::aIgazitBalraExecute},
    {"aIgazitVizszintesen", "Igazítás vízszintesen középre", nullptr, "", "Igazítás", 80, 0, false, false,
     &Tfrm_Child::aIgazitVizszintesenExecute},
    {"aIgazitJobbra", "Igazítás jobbra", nullptr, "", "Igazítás", 81, 0, false, false,
     &Tfrm_Child::aIgazitJobbraExecute},
    {"aIgazitFelulre", "Igazítás felülre", nullptr, "", "Igazítás", 82, 0, false, false,
     &Tfrm_Child::aIgazitFelulreExecute},
    {"aIgazitFuggolegesen", "Igazítás függőlegesen középre", nullptr, "", "Igazítás", 83, 0, false, false,
     &Tfrm_Child::aIgazitFuggolegesenExecute},
    {"aIgazitAlulra", "Igazítás alulra", nullptr, "", "Igazítás", 84, 0, false, false,
     &Tfrm_Child::aIgazitAlulraExecute},
    {"aElosztVizszintesen", "Elosztás vízszintesen", nullptr, "", "Igazítás", 85, 0, false, false,
     &Tfrm_Child::aElosztVizszintesenExecute},
    {"aElosztFuggolegesen", "Elosztás függőlegesen", nullptr, "", "Igazítás", 86, 0, false, false,
     &Tfrm_Child::aElosztFuggolegesenExecute},

    {"aNagyitas", "Nagyítás", nullptr, "Ctrl++; Ctrl+=", "Nézet", 68, 0, false, false, &Tfrm_Child::aNagyitasExecute},
    {"aKicsinyites", "Kicsinyítés", nullptr, "Ctrl+-", "Nézet", 69, 0, false, false,
     &Tfrm_Child::aKicsinyitesExecute},
    {"aEredetiNagysag", "Eredeti méret", nullptr, "Ctrl+0", "Nézet", 70, 0, false, false,
     &Tfrm_Child::aEredetiNagysagExecute},
    {"aVagasiVonalak", "Vágási segédvonalak", nullptr, "", "Nézet", 78, 0, false, true,
     &Tfrm_Child::aVagasiVonalakExecute},

    {"aFelkover", "Félkövér", nullptr, "Ctrl+B", "Szöveg", 15, 0, false, true, &Tfrm_Child::aFelkoverExecute},
    {"aDolt", "Dőlt", nullptr, "Ctrl+I", "Szöveg", 16, 0, false, true, &Tfrm_Child::aDoltExecute},
    {"aAlahuzott", "Aláhúzott", nullptr, "Ctrl+U", "Szöveg", 17, 0, false, true, &Tfrm_Child::aAlahuzottExecute},
    {"aBalra", "Balra", nullptr, "Ctrl+L", "Szöveg", 18, 1, true, true, &Tfrm_Child::aBalraExecute},
    {"aKozepre", "Középre", nullptr, "Ctrl+E", "Szöveg", 19, 1, false, true, &Tfrm_Child::aKozepreExecute},
    {"aJobbra", "Jobbra", nullptr, "Ctrl+R", "Szöveg", 20, 1, false, true, &Tfrm_Child::aJobbraExecute},
    {"aSzin", "Szín", nullptr, "Ctrl+J", "Szöveg", 21, 0, false, false, &Tfrm_Child::aSzinExecute},
    {"aBetutipus", "Betűtípus", nullptr, "Ctrl+F", "Szöveg", 56, 0, false, false, &Tfrm_Child::aBetutipusExecute},

    {"aNyujtas", "Nyújtás", nullptr, "", "Kép", 53, 44, true, true, &Tfrm_Child::aNyujtasExecute},
    {"aNormal", "Eredeti méret", "Normál", "", "Kép", 52, 44, false, true, &Tfrm_Child::aNormalExecute},
    {"aKepValaszt", "Kép választ", nullptr, "", "Kép", 13, 0, false, false, &Tfrm_Child::aKepValasztExecute},
    {"aQrSzerkeszt", "QR-kód szerkesztése...", nullptr, "", "Kép", 66, 0, false, false,
     &Tfrm_Child::aQrSzerkesztExecute},

    {"aTeglalap", "Téglalap", nullptr, "", "Alakzat", 48, 21, true, true, &Tfrm_Child::aTeglalapExecute},
    {"aKor", "Kör", nullptr, "", "Alakzat", 49, 21, false, true, &Tfrm_Child::aKorExecute},
    {"aES0", "Teljes kitöltés", nullptr, "", "Alakzat", 35, 22, true, true, &Tfrm_Child::aES0Execute},
    {"aES1", "Jobbra átlós", nullptr, "", "Alakzat", 31, 22, false, true, &Tfrm_Child::aES1Execute},
    {"aES2", "Balra átlós", nullptr, "", "Alakzat", 32, 22, false, true, &Tfrm_Child::aES2Execute},
    {"aES3", "Négyzetrács", nullptr, "", "Alakzat", 33, 22, false, true, &Tfrm_Child::aES3Execute},
    {"aES4", "Átlós négyzetrács", nullptr, "", "Alakzat", 34, 22, false, true, &Tfrm_Child::aES4Execute},
    {"aES5", "Vízszintes csíkos", nullptr, "", "Alakzat", 29, 22, false, true, &Tfrm_Child::aES5Execute},
    {"aES6", "Függőleges csíkos", nullptr, "", "Alakzat", 30, 22, false, true, &Tfrm_Child::aES6Execute},
    {"aCS0", "Folyamatos", nullptr, "", "Alakzat", 43, 33, true, true, &Tfrm_Child::aCS0Execute},
    {"aCS1", "Pont", nullptr, "", "Alakzat", 47, 33, false, true, &Tfrm_Child::aCS1Execute},
    {"aCS2", "Vonal, pont", nullptr, "", "Alakzat", 44, 33, false, true, &Tfrm_Child::aCS2Execute},
    {"aCS3", "Vonal, vonal", nullptr, "", "Alakzat", 45, 33, false, true, &Tfrm_Child::aCS3Execute},
    {"aCS4", "Vonal, pont, pont", nullptr, "", "Alakzat", 46, 33, false, true, &Tfrm_Child::aCS4Execute},
    {"aV1", "Vonal: 1px", "Vonal vastagság: 1px", "", "Alakzat", 36, 11, true, true, &Tfrm_Child::aV1Execute},
    {"aV2", "2px", nullptr, "", "Alakzat", 37, 11, false, true, &Tfrm_Child::aV2Execute},
    {"aV3", "3px", nullptr, "", "Alakzat", 38, 11, false, true, &Tfrm_Child::aV3Execute},
    {"aV4", "4px", nullptr, "", "Alakzat", 39, 11, false, true, &Tfrm_Child::aV4Execute},
    {"aV5", "5px", nullptr, "", "Alakzat", 40, 11, false, true, &Tfrm_Child::aV5Execute},
    {"aV6", "6px", nullptr, "", "Alakzat", 41, 11, false, true, &Tfrm_Child::aV6Execute},
    {"aV7", "7px", nullptr, "", "Alakzat", 42, 11, false, true, &Tfrm_Child::aV7Execute},
    {"aEcsetSzin", "Ecset színe", nullptr, "", "Alakzat", 50, 0, false, false, &Tfrm_Child::aEcsetSzinExecute},
    {"aCeruzaSzin", "Ceruza színe", nullptr, "", "Alakzat", 51, 0, false, false, &Tfrm_Child::aCeruzaSzinExecute},
};

} // namespace

void Tfrm_Child::createActions()
{
    mActions = std::make_unique<ActionTable>(this, Qt::WidgetWithChildrenShortcut);
    mActions->build(this, CardActions);
}

// The two history commands name the step they would take back or take
// again, and are disabled while there is none; the buttons keep their
// short caption.
void Tfrm_Child::followHistory()
{
    auto follow = [](QAction* command, const QString& caption, bool can, const QString& step) {
        const QString shown = step.isEmpty() ? caption : caption + QStringLiteral(": ") + step;
        command->setText(shown);
        command->setIconText(caption);
        command->setToolTip(shown);
        command->setEnabled(can);
    };
    auto update = [this, follow] {
        const QUndoStack& history = mDocument.history();
        follow(action("aVisszavonas"), QStringLiteral("Visszavonás"), history.canUndo(), history.undoText());
        follow(action("aMegis"), QStringLiteral("Mégis"), history.canRedo(), history.redoText());
    };
    connect(&mDocument.history(), &QUndoStack::indexChanged, this, update);
    connect(&mDocument.history(), &QUndoStack::cleanChanged, this, update);
    update();
}

void Tfrm_Child::aVisszavonasExecute()
{
    mDocument.history().undo();
}

void Tfrm_Child::aMegisExecute()
{
    mDocument.history().redo();
}

QAction* Tfrm_Child::action(std::string_view name) const
{
    return (*mActions)[name];
}

const ActionTable& Tfrm_Child::actions() const
{
    return *mActions;
}

void Tfrm_Child::createPopupMenus()
{
    auto menu = [this](const char* name, std::initializer_list<std::string_view> items) {
        auto* popup = new QMenu(mClient);
        popup->setObjectName(name);
        mActions->addTo(popup, items);
        return popup;
    };
    // Every element's menu ends with placing and copying the layer, and
    // lining up the selected layers.
    const std::initializer_list<std::string_view> layer = {"aVizszintesKozepre", "aFuggolegesKozepre", Separator,
                                                          "aKivagas", "aMasolas", "aBeillesztes", "aDuplikalas"};
    auto alignMenu = [this](QMenu* popup) {
        popup->addSeparator()->setProperty("tag", 0);
        popup->addMenu(MenuIgazitas);
    };
    PopupMenu1 = menu("PopupMenu1", {"aBetutipus", "aSzin", Separator, "aFelkover", "aDolt", "aAlahuzott", Separator,
                                     "aBalra", "aKozepre", "aJobbra", Separator});
    mActions->addTo(PopupMenu1, layer);
    alignMenu(PopupMenu1);
    PopupMenu2 = menu("PopupMenu2", {"aNyujtas", "aNormal", Separator, "aKepValaszt", "aQrSzerkeszt", Separator});
    mActions->addTo(PopupMenu2, layer);
    alignMenu(PopupMenu2);
    // Only a QR code has contents to edit.
    connect(PopupMenu2, &QMenu::aboutToShow, this, [this] {
        auto* picture = currentAs<PictureElement>();
        action("aQrSzerkeszt")->setVisible(picture && picture->item().qr);
    });
    PopupMenu3 = menu("PopupMenu3", {"aTeglalap", "aKor", Separator, "aEcsetSzin", "aCeruzaSzin", Separator});
    auto submenu = [this](const QString& title, std::initializer_list<std::string_view> items) {
        QMenu* sub = PopupMenu3->addMenu(title);
        sub->menuAction()->setProperty("tag", 0);
        mActions->addTo(sub, items);
    };
    submenu("Kitöltés", {"aES0", "aES1", "aES2", "aES3", "aES4", "aES5", "aES6"});
    submenu("Vonal", {"aCS0", "aCS1", "aCS2", "aCS3", "aCS4"});
    submenu("Vonal vastagság", {"aV1", "aV2", "aV3", "aV4", "aV5", "aV6", "aV7"});
    PopupMenu3->addSeparator();
    mActions->addTo(PopupMenu3, layer);
    alignMenu(PopupMenu3);
}
