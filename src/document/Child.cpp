#include "document/Child.h"

#include "document/Dialogs.h"
#include "editor/ActionTable.h"
#include "editor/ErrorBox.h"
#include "editor/FieldEditors.h"
#include "editor/LayerGrid.h"
#include "layer/LayerRecord.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QTabWidget>

#include <utility>

Tfrm_Child::Tfrm_Child(const Settings& settings, QWidget* parent)
    : QMdiSubWindow(parent), Tbl(makeLayerTable("Tbl")), mSettings(settings)
{
    setObjectName("frm_Child");
    setAttribute(Qt::WA_DeleteOnClose);
    // A fixed border: the card window cannot be resized, only moved.
    setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Child"));
    mClient = new QWidget;
    mClient->setObjectName("ChildClient");
    setWidget(mClient);
    FormCreate();
}

Tfrm_Child::~Tfrm_Child()
{
    // The editors and the layer list are controls of the table: they must go
    // while the table still exists.
    Tbl.AfterScroll = nullptr;
    delete mClient;
}

void Tfrm_Child::FormCreate()
{
    Modified = false;
    DialogClosed = false;
    createActions();
    createLayout();
    createPopupMenus();

    // Commands take their short-cut keys before the editors and the list see
    // them, so Ctrl+Del in the text box deletes the layer.
    for (QWidget* editor : std::initializer_list<QWidget*>{DBEdit1, DBComboBox1, DBComboBox1->lineEdit(), DBComboBox2,
                                                           DBComboBox2->lineEdit(), DBGrid1})
        editor->installEventFilter(this);
    auto change = [this] { guarded([this] { DBEdit1Change(); }); };
    connect(DBEdit1, &QLineEdit::textChanged, this, change);
    connect(DBComboBox1, &QComboBox::editTextChanged, this, change);
    connect(DBComboBox2, &QComboBox::editTextChanged, this, change);
    connect(DBComboBox1, &QComboBox::activated, this, change);
    connect(DBComboBox2, &QComboBox::activated, this, change);

    attachTableHandlers();
    Tbl.OpenTable();
}

void Tfrm_Child::attachTableHandlers()
{
    Tbl.AfterOpen = [this](LayerTable& t) { TblAfterOpen(t); };
    Tbl.BeforeClose = [this](LayerTable& t) { TblBeforeClose(t); };
    Tbl.AfterInsert = [this](LayerTable& t) { TblAfterScroll(t); };
    Tbl.AfterDelete = [this](LayerTable& t) { TblAfterScroll(t); };
    Tbl.BeforeScroll = [this](LayerTable& t) { TblBeforeScroll(t); };
    Tbl.AfterScroll = [this](LayerTable& t) { TblAfterScroll(t); };
    Tbl.OnCalcFields = TblCalcFields;
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
    // Only now does the frame know its title bar: a fixed border around the
    // fixed client area.
    setFixedSize(sizeHint());
    setInterfaceFontSize(mSettings.FontSize);
    // A later change of the default font reaches only windows shown after it.
    TextFont = mSettings.DefaultFont;
}

void Tfrm_Child::setInterfaceFontSize(int points)
{
    QFont font = mClient->font();
    font.setPointSize(points > 0 ? points : 9);
    mClient->setFont(font);
}

bool Tfrm_Child::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (const QAction* command : mActions->actions()) {
            if (command->isEnabled() && !command->shortcut().isEmpty() && command->shortcut() == pressed) {
                // Not claimed by the editor, so the command's short-cut runs.
                event->ignore();
                return true;
            }
        }
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
// no work is lost.
bool Tfrm_Child::FormCloseQuery()
{
    if (!Modified)
        return true;
    QMdiArea* area = mdiArea();
    QMdiSubWindow* wasActive = area ? area->activeSubWindow() : nullptr;
    const Dialogs::Answer answer =
        dialogs().question(this, QStringLiteral("Kérdés"), QStringLiteral("A lapora még nincs mentve. Elmentsem?"));
    if (area && wasActive)
        area->setActiveSubWindow(wasActive);
    switch (answer) {
    case Dialogs::Answer::Cancel:
        return false;
    case Dialogs::Answer::No:
        return true;
    case Dialogs::Answer::Yes:
        if (area)
            area->setActiveSubWindow(this);
        return SaveRequested && SaveRequested(*this);
    }
    return false;
}

void Tfrm_Child::FormClose()
{
    Tbl.CloseTable();
}
