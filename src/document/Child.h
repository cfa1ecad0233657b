#pragma once

#include "document/CardDocument.h"
#include "document/Dialogs.h"
#include "document/Recovery.h"
#include "editor/Snapping.h"
#include "print/PrintShop.h"

#include <QFont>
#include <QMdiSubWindow>
#include <QTimer>
#include <QPoint>
#include <QPointer>
#include <QSize>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

class ActionTable;
class RecoveryCopy;
class CardElement;
class CardSurface;
class QComboBox;
class QScrollArea;
struct ChosenPicture;
class LayerPicture;
struct LayerItem;
class FieldComboBox;
class FieldEdit;
class LayerGrid;
class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QTabWidget;
class QToolBar;
class ResizeHandle;

// A card window: one card document inside the main window. It shows the
// card (the surface with one element per layer, the layer list and the
// property panel) and turns the user's commands into the document's
// operations; it draws a layer again from its record whenever the document
// says that layer changed.
class Tfrm_Child : public QMdiSubWindow
{
    Q_OBJECT

public:
    // What the window takes from the program's settings when it is shown.
    struct Settings
    {
        QFont DefaultFont;  // for new text layers
        int FontSize = 9;   // interface font size, points
        int Zoom = 100;     // the surface's zoom, percent
        // Where the card's recovery copy goes; none without one.
        RecoverySession* Recovery = nullptr;
        // The print shop's cut lines on the surface, for the bleed given.
        bool CutGuides = false;
        double Bleed = printshop::DefaultBleed;
        // What to do with a picture far finer than its box prints.
        LargePictures Reduction = LargePictures::Ask;
    };

    explicit Tfrm_Child(const Settings& settings, QWidget* parent = nullptr);
    ~Tfrm_Child() override;

    CardDocument& document() { return mDocument; }

    // Reads the card in a file into this new window. A card that cannot be
    // read raises the error; the caller closes the window.
    void LoadCard(const QString& path);
    // Writes the card to a file; title, file name and the modified flag
    // change only once the file is written.
    void SaveCard(const QString& path);
    // Reads a card a run that did not end cleanly left unsaved: modified,
    // titled and bound to its own file as it was, its copy now this
    // window's. A copy that cannot be read raises the error and stays.
    void RecoverCard(const RecoverySession::Leftover& copy, RecoverySession& session);
    RecoveryCopy* recoveryCopy() const { return mRecovery.get(); }

    // The A4 sheet of ten copies, previewed in a window of its own or sent
    // to the default printer, made from the card's records as stored.
    void PreviewCard();
    void PrintCard();
    // What the printed card is made of, as the print job reads it from the
    // card's records: a copy that later changes of the card leave as it is.
    std::vector<LayerItem> printables();

    void RebuildElements();
    void PlaceHandles();
    // The element of a layer's record.
    CardElement* BuildTextElement(LayerTable::RecordId id);
    CardElement* BuildImageElement(LayerTable::RecordId id);
    CardElement* BuildShapeElement(LayerTable::RecordId id);
    CardElement* findElement(const QString& name) const;
    // The element of a layer, found by the layer's record.
    CardElement* elementOf(LayerTable::RecordId id) const;

    // The interface font size, applied to every control that takes its
    // window's font.
    void setInterfaceFontSize(int points);

    // The close question alone (and the save it may ask for): true when the
    // window may close. The main window asks every card before it closes
    // any, then closes them with closeAgreed(), which asks nothing more.
    bool CloseQuery();
    void closeAgreed();

    // The random numbers of new element names, uniform in 0 .. 2147483646;
    // a test may give its own.
    static std::function<int()> DrawNameNumber;

    // The main window's Save for this window, run by the close question;
    // true when the card was written.
    std::function<bool(Tfrm_Child&)> SaveRequested;
    // Told of every zoom the window takes.
    std::function<void(int)> ZoomChosen;
    // Told when the user shows or hides the cut lines.
    std::function<void(bool)> CutGuidesChosen;
    // Told of the current layer's warning whenever the current layer or its
    // warning changes: a text that runs off the card, a code too small to
    // read; empty for none.
    std::function<void(const QString&)> StatusWarning;
    QString currentWarning() const;
    // Told when the user has the answer to "Kép kicsinyítése" remembered.
    std::function<void(LargePictures)> LargePicturesChosen;

    // What the window does with a picture placed in a stretched box that
    // holds more than twice the pixels 600 ppi of the box needs: asks, or
    // stores it reduced, or keeps it whole.
    void setLargePictures(LargePictures answer) { mLargePictures = answer; }
    LargePictures largePictures() const { return mLargePictures; }
    // What makes the reduced picture's bytes (reducedPicture); a test may
    // give its own.
    static std::function<std::string(std::string_view bytes, std::string_view extension, QSize size)> ReducePicture;

    // The card's state as the rest of the program reads it; the document
    // alone changes it.
    const LayerTable& Tbl() const { return mDocument.table(); }
    const QString& FileName() const { return mDocument.fileName(); }
    // A recovered card belongs to the file it was made from.
    void setFileName(const QString& path) { mDocument.setFileName(path); }
    bool Modified() const { return mDocument.isModified(); }
    bool Updating() const { return mUpdating; }
    bool DialogClosed() const { return mDialogClosed; }
    bool Dragging() const { return mDragging; }
    const QFont& TextFont() const { return mTextFont; }
    CardElement* CurrentElement() const { return mCurrentElement; }

    // Named components, as the tests and the other windows reach them. The
    // card box holds a scroll area of the card surface, which holds the
    // card's picture, the elements and the handles.
    QGroupBox* GroupBox1 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    CardSurface* Surface1 = nullptr;
    QComboBox* ZoomBox1 = nullptr;
    QLabel* Image0 = nullptr;
    ResizeHandle* Shape1 = nullptr;
    ResizeHandle* Shape4 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolBar* ToolBar3 = nullptr;
    LayerGrid* DBGrid1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    FieldEdit* DBEdit1 = nullptr;
    FieldComboBox* DBComboBox1 = nullptr;
    FieldComboBox* DBComboBox2 = nullptr;
    // Under the text boxes: why typing was refused, for a few seconds.
    QLabel* LblNote = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QMenu* PopupMenu3 = nullptr;
    // "Igazítás": lining up and spacing the selected layers, from the layer
    // tool bar and the layers' menus.
    QMenu* MenuIgazitas = nullptr;

    // Commands of the card window, by name ("aSzoveg", "aFelkover", ...); a
    // name that is not there throws std::logic_error.
    QAction* action(std::string_view name) const;
    const ActionTable& actions() const;

    // Layers (creation, deletion, stacking).
    void aSzovegExecute();
    void aKepExecute();
    void aQrKodExecute();
    void aAlakzatExecute();
    void aTorolExecute();
    void aFeljebbExecute();
    void aHatrabbExecute();
    void aBezarExecute();

    // The card's history.
    void aVisszavonasExecute();
    void aMegisExecute();

    // The surface's zoom; the window opens at the zoom given and keeps its
    // own for the session.
    void aNagyitasExecute();
    void aKicsinyitesExecute();
    void aEredetiNagysagExecute();
    void setZoom(int percent);
    int zoom() const;

    // The print shop's cut on the surface: the bleed's outer edge in the
    // card box's margin, the trim and the safe zone, as thin lines over the
    // layers. They are the screen's alone: no print, PDF or card file has
    // them.
    void aVagasiVonalakExecute();
    void showCutGuides(bool shown);
    bool cutGuidesShown() const { return mCutGuides; }
    // The bleed the lines show, in millimetres.
    void setCutBleed(double millimetres);

    // The selection: the layers the commands act on, in stack order. The
    // current layer (the one last clicked) is always among them, and the
    // panel shows its page; with one layer selected the commands act on
    // the current layer alone.
    std::vector<LayerTable::RecordId> Selection() const;
    // Makes these layers the selection; the current layer stays current
    // where it is among them, else the last one given becomes current.
    void selectLayers(const std::vector<LayerTable::RecordId>& layers);
    // Shift or Ctrl with a click: a layer joins the selection and becomes
    // current, or leaves it; the last layer selected never leaves.
    void toggleLayer(LayerTable::RecordId layer);
    void aMindetExecute();

    // The selected layers lined up against each other, or against the card
    // where only one is selected; spaced evenly where three or more are.
    void aIgazitBalraExecute();
    void aIgazitVizszintesenExecute();
    void aIgazitJobbraExecute();
    void aIgazitFelulreExecute();
    void aIgazitFuggolegesenExecute();
    void aIgazitAlulraExecute();
    void aElosztVizszintesenExecute();
    void aElosztFuggolegesenExecute();

    // Placing and copying layers.
    void aVizszintesKozepreExecute();
    void aFuggolegesKozepreExecute();
    void aDuplikalasExecute();
    void aMasolasExecute();
    void aKivagasExecute();
    void aBeillesztesExecute();
    // Picture files dropped on the card, as "Új kép" makes them, at a card
    // point; several side by side down from it.
    void dropPictures(const QStringList& paths, QPoint cardPoint);

    // Text layers.
    void aFelkoverExecute();
    void aDoltExecute();
    void aAlahuzottExecute();
    void aBalraExecute();
    void aKozepreExecute();
    void aJobbraExecute();
    void aSzinExecute();
    void aBetutipusExecute();

    // Picture layers.
    void aNyujtasExecute();
    void aNormalExecute();
    void aKepValasztExecute();
    void aQrSzerkesztExecute();

    // Shape layers.
    void aTeglalapExecute();
    void aKorExecute();
    void aES0Execute();
    void aES1Execute();
    void aES2Execute();
    void aES3Execute();
    void aES4Execute();
    void aES5Execute();
    void aES6Execute();
    void aCS0Execute();
    void aCS1Execute();
    void aCS2Execute();
    void aCS3Execute();
    void aCS4Execute();
    void aV1Execute();
    void aV2Execute();
    void aV3Execute();
    void aV4Execute();
    void aV5Execute();
    void aV6Execute();
    void aV7Execute();
    void aEcsetSzinExecute();
    void aCeruzaSzinExecute();

    // The mouse on the elements and the resize handles. A drag lasts only
    // while a button that started it is down.
    void LblMouseDown(CardElement* element, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void LblMouseMove(CardElement* element, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);
    void LblMouseUp(CardElement* element, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void Shape1MouseDown(ResizeHandle* handle, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                         QPoint globalPos);
    void Shape1MouseMove(ResizeHandle* handle, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                         QPoint globalPos);
    void Shape1MouseUp(ResizeHandle* handle, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                       QPoint globalPos);

    // The selection sync, as the document's current layer changes: the
    // panel, the check marks, the current element and the handles follow
    // it.
    void TblAfterScroll(const LayerTable& DataSet);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormClose();

    void createActions();
    void createLayout();
    QWidget* createTextPage();
    QWidget* createPicturePage();
    QWidget* createShapePage();
    void addButtonRows(QWidget* page, int& top, QSize size,
                       std::initializer_list<std::initializer_list<std::string_view>> rows);
    void createPopupMenus();
    void attachDocument();
    void followHistory();
    CardElement* buildElement(LayerTable::RecordId id);
    void wireElement(CardElement* element, const LayerItem& item, LayerTable::RecordId id);
    void showTabs(int kind);
    void checkFromRecord(CardElement* element);
    void removeElements();
    void noteProblem(LayerTable::RecordId id, const std::string& problem);
    bool claimsKey(const QKeyCombination& key, bool textBox) const;

    // What the document says of its layers.
    void layerAdded(LayerTable::RecordId id);
    void layerRemoved(LayerTable::RecordId id);
    void layerChanged(LayerTable::RecordId id);
    void layerMoved(LayerTable::RecordId id);
    void layersReset();

    // The current layer's record, and whether its element is of a kind.
    LayerTable::RecordId currentLayer() const;
    template <class Element>
    Element* currentAs() const;
    QString newElementName(const char* prefix) const;
    void restack(int step, const char* name);
    void runPrintJob(bool print);
    void refreshPicture();
    void pictureDoubleClicked(CardElement* element);
    void panelTyped(std::string_view field, const QString& text);
    void showNote(const QString& note);
    void undoMark(QAction* mark);
    void changeCurrent(const char* name, CardDocument::Values values);
    void toggleStyle(const char* name, std::string_view field);
    void setTextAlignment(const char* name, std::int32_t code);
    void setPictureStretch(const char* name, bool stretch);
    void setShapeField(const char* name, std::string_view field, std::int32_t code);
    void placeElement(CardElement* element, const LayerItem& item);
    // Marks the element with what its layer warns of, if anything.
    void markElement(CardElement* element);
    void zoomChanged();
    void placeCutGuides();
    void layOutCardBox();
    void nudge(QPoint step);
    void centreOnCard(Qt::Orientation along, const char* name);
    SnapLines snapLinesFor(const CardElement* moving) const;
    void showSnap(const QRect& cardBox, bool snapping, int edges, QRect* snapped);
    std::vector<LayerTable::RecordId> selectedLayers() const { return Selection(); }
    bool isSelected(LayerTable::RecordId layer) const;
    bool grouped() const { return mSelection.size() > 1; }
    void followSelection();
    void showSelection();
    std::vector<CardElement*> selectedElements() const;
    void pressSelects(CardElement* element, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void releaseSelects();
    void startGroup();
    void moveGroup(CardElement* element, Qt::KeyboardModifiers modifiers, QPoint pos);
    void resizeGroup(bool topLeft, Qt::KeyboardModifiers modifiers);
    void areaChosen(const QRect& cardBox, Qt::KeyboardModifiers modifiers);
    void placeSelection(const std::vector<QPoint>& places, const char* name);
    void alignSelection(int alignment, const char* name);
    void distributeSelection(Qt::Orientation along, const char* name);
    void pasteLayers(const QByteArray& card);
    void pastePicture(const QImage& picture, QPoint at);
    void addPictureLayer(const ChosenPicture& chosen, QPoint at, const QString& caption);
    CardDocument::MakeLayer pictureLayer(const ChosenPicture& chosen, QPoint at, const QString& name);
    std::optional<ChosenPicture> reducedForBox(const ChosenPicture& chosen, QSize box, bool stretch);
    LayerPicture pictureOf(LayerTable::RecordId id, QSize box, double density) const;
    void chooseShapeColor(const char* name, std::string_view field);

    CardDocument mDocument;
    std::unique_ptr<RecoveryCopy> mRecovery;
    QWidget* mClient = nullptr;
    QTimer mNoteTimer;
    Settings mSettings;
    LargePictures mLargePictures = LargePictures::Ask;
    bool mCutGuides = false;
    double mCutBleed = printshop::DefaultBleed;
    bool mShown = false;
    bool mCloseAgreed = false;
    std::unique_ptr<ActionTable> mActions;
    std::vector<QWidget*> mTabPages;

    CardElement* mCurrentElement = nullptr;
    bool mUpdating = false;
    bool mDialogClosed = false;
    bool mDragging = false;
    QFont mTextFont;
    QPoint mDragOrigin;
    QPoint mHandlePressCursor;
    QPoint mHandlePressPos;
    Qt::MouseButton mDragButton = Qt::NoButton;  // the button that started a drag
    bool mHandleMoved = false;                  // the pressed handle has resized its element
    bool mPictureRefreshQueued = false;
    QSize mAspectAtPress;  // the picture's box when its handle was pressed
    std::optional<SnapLines> mSnapLines;  // what the moving box snaps to, gathered once a drag

    std::vector<LayerTable::RecordId> mSelection;   // in the order chosen, the current layer last
    std::vector<LayerTable::RecordId> mStepLayers;  // what the history's step under way added or changed
    // The selected elements and their card boxes at a press, and the box
    // round them all.
    // Held by QPointer: an undo during the drag may take an element away.
    std::vector<std::pair<QPointer<CardElement>, QRect>> mGroupStart;
    QRect mGroupBoxAtPress;
    // What a press on a selected layer does to the selection if the
    // release comes without a move: a left click keeps that layer alone,
    // one with Shift or Ctrl takes it out.
    enum class AtRelease { Nothing, SelectOnly, Deselect };
    AtRelease mAtRelease = AtRelease::Nothing;

    // Set as the font dialog ends, however it ends: the press of the
    // double-click that opened it starts no drag.
    struct DialogEnded
    {
        Tfrm_Child& window;
        ~DialogEnded()
        {
            window.mDialogClosed = true;
            window.mDragging = false;
        }
    };

    // Problems of the elements being rebuilt, and those already shown once:
    // which layer, what, and the line that names it.
    struct Problem
    {
        LayerTable::RecordId layer;
        std::string what;
        std::string line;
    };
    std::vector<Problem>* mRebuildProblems = nullptr;
    std::vector<Problem> mShownProblems;
};
