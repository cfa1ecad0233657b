#include "app/Main.h"

#include "app/MenuPainting.h"
#include "app/PrinterCalibration.h"
#include "print/PrintJob.h"
#include "print/SavedSheets.h"
#include "app/Settings.h"
#include "document/Child.h"
#include "editor/ActionTable.h"
#include "editor/ErrorBox.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QToolButton>
#include <QToolTip>

Tfrm_Main* frm_Main = nullptr;

namespace {

constexpr QPoint DesignPos(218, 123);
constexpr QSize DesignSize(682, 607);
constexpr int DesignFontPoints = 8;

} // namespace

Tfrm_Main::Tfrm_Main(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("frm_Main");
    setWindowTitle(QStringLiteral("Lapora"));
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSize(DesignFontPoints);
    setFont(tahoma);

    mMdiArea = new QMdiArea(this);
    mMdiArea->setObjectName("ClientArea");
    mMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mMdiArea);
    connect(mMdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        updateWindowActions();
        auto* card = qobject_cast<Tfrm_Child*>(window);
        if (card)
            mHistories.setActiveStack(&card->document().history());
        LblWarning->setText(card ? card->currentWarning() : QString());
        LblWarning->setToolTip(LblWarning->text());
    });

    createActions();
    createMenu();
    createToolBar();
    createStatusBar();
    move(DesignPos);
    resize(DesignSize);
    setAcceptDrops(true);
    FormCreate();
}

Tfrm_Main::~Tfrm_Main()
{
    // The card windows go with the frame; the window commands they would
    // update are gone by then.
    for (Tfrm_Child* card : findChildren<Tfrm_Child*>())
        card->disconnect(this);
    mMdiArea->disconnect(this);
    if (frm_Main == this)
        frm_Main = nullptr;
}

void Tfrm_Main::FormCreate()
{
    prepareDataDir();
    createDefaultFont();
    LoadSettings();
    setCalibrationStore(LoadPrinterCalibration, SavePrinterCalibration);
    setLastSheetStore(LoadPrinterSheet, SavePrinterSheet);
    setSavedSheetsFile(IniFileName);
    // Unsaved cards are copied under the data folder while the program runs.
    mRecovery = std::make_unique<RecoverySession>(DataDir + QStringLiteral("/recovery"));
    mRecovery->start();
}

// The placement is applied before the window reaches the screen, where a
// position given to a window is its frame's.
void Tfrm_Main::setVisible(bool visible)
{
    if (visible && !mShown) {
        mShown = true;
        guarded([this] { FormShow(); });
    }
    QMainWindow::setVisible(visible);
}

// Left, Top, Width and Height are the whole window's, frame included, and
// so is the fitting into the work area; the size it was given at creation
// stands for the frame's too.
void Tfrm_Main::FormShow()
{
    const QRect frame = LoadFormBounds(QStringLiteral("frm_Main"), width(), height());
    mPlacement.place(*this, frame.topLeft(), frame.size());
    applyInterfaceFontSize();
    HookMenuPainting(this);
}

bool Tfrm_Main::event(QEvent* event)
{
    if (event->type() == QEvent::DeferredDelete)
        return QMainWindow::event(event);
    const bool handled = QMainWindow::event(event);
    mPlacement.settle(*this, *event);
    return handled;
}

// Once every card window has agreed, the program ends, also when the
// settings could not be written: the user could not leave it otherwise
// while the file stays locked.
void Tfrm_Main::closeEvent(QCloseEvent* event)
{
    event->ignore();
    guarded([&] {
        if (!FormCloseQuery())
            return;
        event->accept();
        FormClose();
    });
}

// Each card window is asked in turn (its question, its save), and only when
// every one has agreed are they closed: the first that refuses keeps all of
// them open, those that said No included. A card whose save was cancelled
// or failed refuses, so ending the program never throws away work.
bool Tfrm_Main::FormCloseQuery()
{
    const QList<Tfrm_Child*> cards = cardWindows();
    for (Tfrm_Child* card : cards) {
        if (!card->CloseQuery())
            return false;
    }
    for (Tfrm_Child* card : cards)
        card->closeAgreed();
    return true;
}

// A clean exit leaves no recovery copy behind, also when the settings
// cannot be written.
void Tfrm_Main::FormClose()
{
    const struct Finished
    {
        RecoverySession& recovery;
        ~Finished() { recovery.finish(); }
    } finished{*mRecovery};
    SaveSettings();
    // A maximised frame fills the work area; the frame's margins the window
    // system last reported may still be those of the frame before it was
    // maximised (a border that is gone), which would store it a pixel
    // beyond the screen.
    QRect frame = frameGeometry();
    if (isMaximized())
        frame = frame.intersected(QRect(0, 0, WorkArea.Right, WorkArea.Bottom));
    SaveFormBounds(QStringLiteral("frm_Main"), frame);
}

// A command without a hint shows no tool tip (Qt would show its caption).
bool Tfrm_Main::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* button = qobject_cast<QToolButton*>(watched);
        if (button && button->defaultAction() && button->defaultAction()->property("hint").toString().isEmpty()) {
            QToolTip::hideText();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
