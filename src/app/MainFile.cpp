#include "app/Main.h"

#include "app/Application.h"
#include "app/MenuPainting.h"
#include "app/Settings.h"
#include "document/Child.h"
#include "editor/ErrorBox.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QStandardPaths>

namespace {

const QString CardFilter = QStringLiteral("Lapora file-ok (*.bcrd)|*.bcrd");
const QString CardSuffix = QStringLiteral("bcrd");
const QString UntitledName = QStringLiteral("Névtelen.bcrd");

} // namespace

void Tfrm_Main::aUjExecute()
{
    Tfrm_Child* card = newCardWindow();
    card->setWindowTitle(UntitledName);
    card->RebuildElements();
    showCardWindow(card);
    updateWindowActions();
}

void Tfrm_Main::aMegnyitExecute()
{
    OpenDialog1.filter = CardFilter;
    OpenDialog1.defaultSuffix = CardSuffix;
    const std::optional<QString> path = dialogs().openFile(this, OpenDialog1);
    if (path)
        openCardFile(*path);
}

// A card window for the file, as Open makes it; a file that cannot be read
// as a card closes its window again.
void Tfrm_Main::openCardFile(const QString& path)
{
    Tfrm_Child* card = newCardWindow();
    showCardWindow(card);
    updateWindowActions();
    try {
        card->LoadCard(path);
        rememberCard(path);
    } catch (...) {
        // The document let go of the file it could not read: the window
        // closes without a question.
        card->close();
        throw;
    }
}

// Files named on the command line (a file manager's "open with"): each in
// a card window of its own; one that cannot be opened gives its error box,
// and the rest are opened all the same.
void Tfrm_Main::openCardFiles(const QStringList& paths)
{
    for (const QString& path : paths)
        guarded([&] { openCardFile(path); });
}

void Tfrm_Main::aMentExecute()
{
    if (Tfrm_Child* card = activeCard())
        saveCard(*card);
}

void Tfrm_Main::aMentMaskentExecute()
{
    Tfrm_Child* card = activeCard();
    if (!card)
        return;
    saveCardAs(*card, card->FileName().isEmpty() ? untitledProposal() : card->FileName());
}

void Tfrm_Main::aBezarExecute()
{
    close();
}


bool Tfrm_Main::saveCard(Tfrm_Child& card)
{
    if (card.FileName().isEmpty())
        return saveCardAs(card, untitledProposal());
    card.SaveCard(card.FileName());
    rememberCard(card.FileName());
    return true;
}

bool Tfrm_Main::saveCardAs(Tfrm_Child& card, const QString& proposed)
{
    SaveDialog1.filter = CardFilter;
    SaveDialog1.defaultSuffix = CardSuffix;
    SaveDialog1.fileName = proposed;
    const std::optional<QString> path = dialogs().saveFile(this, SaveDialog1);
    if (!path)
        return false;
    card.SaveCard(*path);
    rememberCard(*path);
    return true;
}

// The documents folder, or the home folder where there is none: always a
// whole path.
QString Tfrm_Main::untitledProposal()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString folder = !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
    return folder + '/' + UntitledName;
}

// A card window is larger than the frame's first size; it starts inside the
// client area's top-left corner, never beyond it, and the area scrolls to
// show the rest.
void Tfrm_Main::showCardWindow(Tfrm_Child* card)
{
    card->show();
    HookMenuPainting(card);
    const QPoint at = card->pos();
    if (at.x() < 0 || at.y() < 0)
        card->move(std::max(0, at.x()), std::max(0, at.y()));
}

Tfrm_Child* Tfrm_Main::newCardWindow()
{
    auto* card = new Tfrm_Child(Tfrm_Child::Settings{Beall.DefaultFont, Beall.FontSize, Beall.Zoom, mRecovery.get(),
                                                     Beall.CutGuides, Beall.PrintShopBleed, Beall.LargePictureAnswer});
    // The zoom and the cut lines last chosen are those new windows open
    // with, this run and the next.
    card->ZoomChosen = [](int percent) { Beall.Zoom = percent; };
    card->CutGuidesChosen = [](bool shown) { Beall.CutGuides = shown; };
    card->StatusWarning = [this, card](const QString& warning) {
        if (activeCard() == card) {
            LblWarning->setText(warning);
            LblWarning->setToolTip(warning);
        }
    };
    // A remembered answer holds for every card window at once.
    card->LargePicturesChosen = [this](LargePictures answer) {
        Beall.LargePictureAnswer = answer;
        applyLargePictures();
    };
    mMdiArea->addSubWindow(card);
    // The close question saves through here. A card that was not written
    // (dialog cancelled) answers false and keeps its window; a failed write
    // raises, and the closing window shows it and stays.
    card->SaveRequested = [this](Tfrm_Child& asking) {
        mMdiArea->setActiveSubWindow(&asking);
        return saveCard(asking);
    };
    connect(card, &QObject::destroyed, this, [this](QObject* gone) { updateWindowActions(gone); });
    // The frame's history commands follow this card's while it is active.
    mHistories.addStack(&card->document().history());
    mHistories.setActiveStack(&card->document().history());
    return card;
}

// Each card chosen opens in a card window of its own, the rest are
// discarded; a copy that cannot be read is named in an error box and kept
// for the next start. Closing the dialog keeps them all.
void Tfrm_Main::offerRecovery()
{
    const std::vector<RecoverySession::Leftover> leftovers = mRecovery->leftovers();
    if (leftovers.empty())
        return;
    std::vector<Dialogs::RecoveredCard> offered;
    for (const RecoverySession::Leftover& copy : leftovers)
        offered.push_back({copy.title, copy.written});
    const std::optional<std::vector<bool>> chosen = dialogs().chooseRecovered(this, offered);
    if (!chosen)
        return;
    for (std::size_t i = 0; i < leftovers.size(); ++i) {
        const RecoverySession::Leftover& copy = leftovers[i];
        if (i >= chosen->size() || !(*chosen)[i]) {
            mRecovery->discard(copy);
            continue;
        }
        Tfrm_Child* card = newCardWindow();
        showCardWindow(card);
        updateWindowActions();
        const bool opened = guarded([&] {
            try {
                card->RecoverCard(copy, *mRecovery);
            } catch (const std::exception& failure) {
                throw std::runtime_error("A(z) \u201E" + copy.title.toStdString() + "\u201D k\u00E1rtya "
                                         "helyre\u00E1ll\u00EDt\u00E1si m\u00E1solata (" + copy.card.toStdString()
                                         + ") nem olvashat\u00F3, megtartom: " + failure.what());
            }
        });
        if (!opened)
            card->close();
    }
}
