#include "document/Child.h"

#include "document/Dialogs.h"
#include "document/RecoveryCopy.h"
#include "editor/ActionTable.h"
#include "editor/CardSurface.h"
#include "editor/ErrorBox.h"
#include "editor/FieldEditors.h"
#include "editor/LayerGrid.h"
#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QTabWidget>

#include <algorithm>
#include <iterator>
#include <utility>

Tfrm_Child::Tfrm_Child(const Settings& settings, QWidget* parent)
    : QMdiSubWindow(parent), mSettings(settings), mLargePictures(settings.Reduction)
{
    setObjectName("frm_Child");
    setAttribute(Qt::WA_DeleteOnClose);
    // The window opens at its first size (a 777 × 520 client area) and may
    // be made larger, the card box taking the room.
    setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Child"));
    mClient = new QWidget;
    mClient->setObjectName("ChildClient");
    setWidget(mClient);
    mClient->installEventFilter(this);
    FormCreate();
    if (settings.Recovery && settings.Recovery->started())
        mRecovery = std::make_unique<RecoveryCopy>(mDocument, settings.Recovery->nextCopy(),
                                                   [this] { return windowTitle(); });
}

Tfrm_Child::~Tfrm_Child()
{
    // The editors and the layer list are controls of the table: they must go
    // while the table still exists, and hear nothing more from it.
    mDocument.disconnect(this);
    QObject::disconnect(&mDocument.history(), nullptr, this, nullptr);
    mRecovery.reset();
    delete mClient;
}

void Tfrm_Child::FormCreate()
{
    mDialogClosed = false;
    createActions();
    createLayout();
    createPopupMenus();

    // Commands take their short-cut keys before the editors and the list see
    // them, so Ctrl+Del in the text box deletes the layer, and Ctrl+Z undoes
    // the card's last step rather than the box's own typing.
    for (QWidget* editor : std::initializer_list<QWidget*>{DBEdit1, DBComboBox1, DBComboBox1->lineEdit(), DBComboBox2,
                                                           DBComboBox2->lineEdit(), DBGrid1})
        editor->installEventFilter(this);
    DBEdit1->setWriter([this](const QString& text) { panelTyped(Field::nev, text); });
    DBComboBox1->setWriter([this](const QString& text) { panelTyped(Field::betutipus, text); });
    DBComboBox2->setWriter([this](const QString& text) { panelTyped(Field::betumeret, text); });

    attachDocument();
    followHistory();
}

// Every change of a layer comes back from the document, which has written
// the record first; the surface only draws what the records say.
void Tfrm_Child::attachDocument()
{
    connect(&mDocument, &CardDocument::layerAdded, this,
            [this](CardDocument::LayerId id) { guarded([&] { layerAdded(id); }); });
    connect(&mDocument, &CardDocument::layerRestored, this,
            [this](CardDocument::LayerId id) { guarded([&] { layerAdded(id); }); });
    connect(&mDocument, &CardDocument::layerRemoved, this,
            [this](CardDocument::LayerId id) { guarded([&] { layerRemoved(id); }); });
    connect(&mDocument, &CardDocument::layerChanged, this,
            [this](CardDocument::LayerId id) { guarded([&] { layerChanged(id); }); });
    connect(&mDocument, &CardDocument::layerMoved, this,
            [this](CardDocument::LayerId id) { guarded([&] { layerMoved(id); }); });
    connect(&mDocument, &CardDocument::layersReset, this, [this] { guarded([&] { layersReset(); }); });
    connect(&mDocument, &CardDocument::currentChanged, this, [this] { guarded([&] { TblAfterScroll(Tbl()); }); });
    // A step is taken, undone or redone whole before the history moves on:
    // what it added or changed is then known, and forgotten.
    connect(&mDocument.history(), &QUndoStack::indexChanged, this, [this] { mStepLayers.clear(); });
    DBGrid1->setRowToggler([this](int row) { toggleLayer(Tbl().StoredId(row)); });
    DBGrid1->setMarks([this](int row) { return grouped() && isSelected(Tbl().StoredId(row)); });
}

void Tfrm_Child::showEvent(QShowEvent* event)
{
    QMdiSubWindow::showEvent(event);
    if (!mShown) {
        mShown = true;
        FormShow();
    }
}

void Tfrm_Child::FormShow()
{
    // Only now does the frame know its title bar: the first size, which
    // the user may enlarge, never shrink.
    setMinimumSize(sizeHint());
    // A window that opens maximised beside a maximised one keeps the area
    // it was given: shrunk to the first size it showed its boxes small
    // and the rest grey.
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        resize(sizeHint());
    setZoom(mSettings.Zoom);
    mCutBleed = mSettings.Bleed;
    showCutGuides(mSettings.CutGuides);
    setInterfaceFontSize(mSettings.FontSize);
    // A later change of the default font reaches only windows shown after it.
    mTextFont = mSettings.DefaultFont;
}

void Tfrm_Child::setInterfaceFontSize(int points)
{
    QFont font = mClient->font();
    font.setPointSize(points > 0 ? points : 9);
    mClient->setFont(font);
}

// The keys of the enabled commands, and always those of undo and redo: the
// text box's own history would otherwise part from the card's.
bool Tfrm_Child::claimsKey(const QKeyCombination& key, bool textBox) const
{
    const QKeySequence pressed(key);
    for (const char* name : {"aVisszavonas", "aMegis"})
        if (action(name)->shortcuts().contains(pressed))
            return true;
    const QAction* clipboard[] = {action("aKivagas"), action("aMasolas"), action("aBeillesztes"), action("aMindet")};
    for (const QAction* command : mActions->actions()) {
        if (textBox && std::find(std::begin(clipboard), std::end(clipboard), command) != std::end(clipboard))
            continue;
        if (command->isEnabled() && command->shortcuts().contains(pressed))
            return true;
    }
    return false;
}

bool Tfrm_Child::eventFilter(QObject* watched, QEvent* event)
{
    // The client area reaches its size after the window's own resize (a
    // window opened maximised beside a maximised one gets it last), so the
    // boxes follow the client, not the frame.
    if (watched == mClient && event->type() == QEvent::Resize && ScrollBox1 && GroupBox3 && PageControl1)
        layOutCardBox();
    // In a text box the clipboard keys edit its text.
    const bool textBox = qobject_cast<QLineEdit*>(watched) || qobject_cast<QComboBox*>(watched);
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (claimsKey(key->keyCombination(), textBox)) {
            // Not claimed by the editor, so the command's short-cut runs.
            event->ignore();
            return true;
        }
    } else if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Esc leaves the text box for the card, where the arrows move the
        // layer.
        if (watched == DBEdit1 && key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            Surface1->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
        // Undo or redo with nothing to undo or redo reaches the editor as a
        // plain key; it does nothing there either.
        const QKeySequence pressed(key->keyCombination());
        for (const char* name : {"aVisszavonas", "aMegis"})
            if (action(name)->shortcuts().contains(pressed))
                return true;
    }
    return QMdiSubWindow::eventFilter(watched, event);
}

void Tfrm_Child::aBezarExecute()
{
    close();
}

// A close that fails (the save the question asked for) keeps the window
// open: its card is not lost.
void Tfrm_Child::closeEvent(QCloseEvent* event)
{
    event->ignore();
    const bool agreed = guarded([&] {
        if (!std::exchange(mCloseAgreed, false) && !FormCloseQuery())
            return;
        FormClose();
        event->accept();
    });
    if (agreed && event->isAccepted())
        QMdiSubWindow::closeEvent(event);
}

bool Tfrm_Child::CloseQuery()
{
    return FormCloseQuery();
}

void Tfrm_Child::closeAgreed()
{
    mCloseAgreed = true;
    close();
    mCloseAgreed = false;
}

// An unsaved card asks first. Unlike a plain Yes that closes whatever the
// save did, the window stays open when the save was cancelled or failed, so
// no work is lost. The card asked about is the one in front, and the
// question names it: with several cards closing, a Yes meant for one must
// not save another.
bool Tfrm_Child::FormCloseQuery()
{
    if (!Modified())
        return true;
    if (QMdiArea* area = mdiArea()) {
        if (isMinimized())
            showNormal();
        area->setActiveSubWindow(this);
    }
    raise();
    const QString name = FileName().isEmpty() ? QStringLiteral("Névtelen.bcrd") : QFileInfo(FileName()).fileName();
    const Dialogs::Answer answer = dialogs().question(
        this, QStringLiteral("Kérdés"), QStringLiteral("A lapora még nincs mentve. Elmentsem?\n") + name);
    switch (answer) {
    case Dialogs::Answer::Cancel:
        return false;
    case Dialogs::Answer::No:
        return true;
    case Dialogs::Answer::Yes:
        return SaveRequested && SaveRequested(*this);
    }
    return false;
}

// However the card was left (saved, not saved, never changed), its
// recovery copy goes with the window.
void Tfrm_Child::FormClose()
{
    if (mRecovery)
        mRecovery->remove();
}
