#include "app/Main.h"

#include "app/Settings.h"
#include "document/Child.h"
#include "editor/ActionTable.h"
#include "editor/ErrorBox.h"

#include <QAction>
#include <QCloseEvent>
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
    connect(mMdiArea, &QMdiArea::subWindowActivated, this, [this] { updateWindowActions(); });

    createActions();
    createMenu();
    createToolBar();
    createStatusBar();
    move(DesignPos);
    resize(DesignSize);
    FormCreate();
}

Tfrm_Main::~Tfrm_Main()
{
    // The card windows go with the frame; the window commands they would
    // update are gone by then.
    for (Tfrm_Child* card : findChildren<Tfrm_Child*>())
        card->disconnect(this);
    if (frm_Main == this)
        frm_Main = nullptr;
}

void Tfrm_Main::FormCreate()
{
    prepareDataDir();
    createDefaultFont();
    LoadSettings();
}

void Tfrm_Main::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!mShown) {
        mShown = true;
        FormShow();
    }
}

// Runs before the window reaches the screen, so it appears in place. The
// saved bounds are the whole window's, frame included; the size it was given
// at creation stands for that too.
void Tfrm_Main::FormShow()
{
    const QRect bounds = LoadFormBounds(QStringLiteral("frm_Main"), width(), height());
    const QSize margins = frameGeometry().size() - size();
    move(bounds.topLeft());
    resize(bounds.size() - margins);
    if (margins == QSize(0, 0))
        mPendingFrameSize = bounds.size();
    applyInterfaceFontSize();
}

bool Tfrm_Main::event(QEvent* event)
{
    // A window manager adds its frame only once the window is mapped; the
    // size given at show time was the whole window's, so correct it once.
    if (mPendingFrameSize && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        const QSize margins = frameGeometry().size() - size();
        if (margins != QSize(0, 0)) {
            const QSize wanted = *mPendingFrameSize - margins;
            mPendingFrameSize.reset();
            resize(wanted);
        }
    }
    return QMainWindow::event(event);
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

// Each card window is asked in turn; the first that refuses keeps everything
// open. A card whose save was cancelled or failed refuses, so ending the
// program never throws away work.
bool Tfrm_Main::FormCloseQuery()
{
    for (Tfrm_Child* card : cardWindows()) {
        if (!card->close())
            return false;
    }
    return true;
}

void Tfrm_Main::FormClose()
{
    SaveSettings();
    SaveFormBounds(QStringLiteral("frm_Main"), frameGeometry());
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
