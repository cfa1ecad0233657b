#pragma once

#include "app/FramePlacement.h"
#include "document/Dialogs.h"
#include "document/PrintDialog.h"
#include "document/Recovery.h"

#include <QMainWindow>
#include <QUndoGroup>

#include <memory>
#include <string_view>
#include <vector>

class ActionTable;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMenuBar;
class QStatusBar;
class QToolBar;
class Tfrm_Child;
struct LayerItem;
struct MergeSource;
struct PrintJob;

// The main window: a frame of card windows with the program's menu, tool bar
// and file commands. It lives for the whole run; closing it ends the program
// once every card window has agreed to close.
class Tfrm_Main : public QMainWindow
{
    Q_OBJECT

public:
    explicit Tfrm_Main(QWidget* parent = nullptr);
    ~Tfrm_Main() override;

    // The card windows, in the order they were opened; windows that are
    // already closing are not counted.
    QList<Tfrm_Child*> cardWindows() const;
    // The active card window; when none is active but some are open, the
    // frame's current one or else the first. Null with no card window.
    Tfrm_Child* activeCard() const;

    // Cards a run that did not end cleanly left unsaved, offered in the
    // "Helyreállítás" dialog; called once the window is shown.
    void offerRecovery();
    RecoverySession& recovery() { return *mRecovery; }

    // Opens a card file in a card window of its own, as Open does.
    void openCardFile(const QString& path);
    void openCardFiles(const QStringList& paths);

    // Saves a card as Save does: to its own file, or to a name asked for.
    // True when the card was written; a failure is raised to the caller.
    bool saveCard(Tfrm_Child& card);

    // Named components.
    QToolBar* ToolBar1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* LblWarning = nullptr;
    QMenuBar* MainMenu1 = nullptr;
    QMenu* mnAblak = nullptr;
    QMenu* mnFile = nullptr;

    // The file dialogs, kept for the run so that they remember the last file.
    Dialogs::FileDialog OpenDialog1;
    Dialogs::FileDialog SaveDialog1;

    // Commands of the frame, by name; a name that is not there throws
    // std::logic_error.
    QAction* action(std::string_view name) const;

    void aUjExecute();
    void aMegnyitExecute();
    void aMentExecute();
    void aMentMaskentExecute();
    void aBezarExecute();
    void aVisszavonasExecute();
    void aMegisExecute();
    void aNyomKepExecute();
    void aNyomtatExecute();
    void aNyomtatasExecute();
    void aKorlevelExecute();
    void aNyomdaiPdfExecute();
    void aBeallitExecute();
    void aSugoExecute();
    void aHonlapExecute();
    void aUjdonsagExecute();
    void aLevelExecute();
    void aLaporaExecute();
    void aBetuNovelExecute();
    void aBetuCsokkentExecute();
    void aWindowCascade1Execute();
    void aWindowTileHorizontal1Execute();
    void aWindowTileVertical1Execute();

protected:
    void setVisible(bool visible) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormClose();

    void createActions();
    void createMenu();
    void createToolBar();
    void createStatusBar();

    Tfrm_Child* newCardWindow();
    void showCardWindow(Tfrm_Child* card);
    bool saveCardAs(Tfrm_Child& card, const QString& proposed);
    static QString untitledProposal();

    void updateWindowActions(const QObject* closing = nullptr);
    void followHistories();
    void rebuildWindowList();
    void tile(Qt::Orientation along);
    void applyInterfaceFontSize();
    void applyLargePictures();
    QStringList cardTitles() const;
    QStringList cardFiles() const;
    QString dataFileStart(const Tfrm_Child& card) const;
    void rememberCard(const QString& path);
    void rebuildRecentList();
    void keepRecentCards();
    void openRecent(const QString& path);
    PrintJob jobFor(const std::vector<LayerItem>& front, const PrintDialog::Choice& chosen,
                    const MergeSource* people) const;
    void runPrintJob(PrintJob job, const PrintDialog::Choice& chosen);

    std::unique_ptr<ActionTable> mActions;
    QMdiArea* mMdiArea = nullptr;
    QUndoGroup mHistories;
    std::unique_ptr<RecoverySession> mRecovery;  // the card windows' histories, the active one followed
    QList<QAction*> mWindowEntries;
    QList<QAction*> mRecentEntries;
    bool mShown = false;
    FramePlacement mPlacement;
    QString mLastDataFile;  // the list of the last merge, offered again
};

// The one main window of the run.
extern Tfrm_Main* frm_Main;
