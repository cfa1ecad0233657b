#include "document/Child.h"

#include "editor/ActionTable.h"
#include "editor/CardPicture.h"
#include "editor/CardSurface.h"
#include "editor/ErrorBox.h"
#include "editor/FieldEditors.h"
#include "editor/ImageList.h"
#include "editor/LayerGrid.h"
#include "editor/ResizeHandle.h"
#include "layer/Fonts.h"
#include "layer/LayerFields.h"
#include "layer/Win1250Text.h"

#include <QAction>
#include <QComboBox>
#include <QResizeEvent>
#include <QScrollArea>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPalette>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <cstdlib>

namespace {

constexpr int SeparatorWidth = 8;
constexpr int NoteShownMs = 6000;

// The card window's client area at its first size: the card box takes
// whatever the window is given beyond it. At 100 % the card box holds the
// card and 5 mm round it without scroll bars.
constexpr QSize DesignClient{777, 520};
constexpr QRect DesignCardBox{8, 48, 380, 246};
constexpr QPoint LayerBox{8, 301};
constexpr QPoint PanelBox{395, 48};
constexpr int CardBoxTitle = 16;

QToolBar* makeToolBar(QWidget* parent, const char* name, bool captions)
{
    auto* bar = new QToolBar(parent);
    bar->setObjectName(name);
    bar->setIconSize(QSize(16, 16));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setToolButtonStyle(captions ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
    return bar;
}

QLabel* label(QWidget* parent, const QString& text, QPoint at)
{
    auto* caption = new QLabel(text, parent);
    caption->move(at);
    caption->adjustSize();
    return caption;
}

// The rows of command buttons of one property page, each button at its
// design size or wider where its caption would not fit in the interface's
// font, which may be larger than the one the sizes were chosen for; laid
// out again whenever that font changes.
class ButtonRows : public QObject
{
public:
    struct Item
    {
        QToolButton* button = nullptr;  // none: a separator's gap
        int width = 0;
    };
    struct Row
    {
        int top = 0;
        int height = 0;
        std::vector<Item> items;
    };

    static ButtonRows& of(QWidget* page)
    {
        QObject* found = page->findChild<QObject*>(QStringLiteral("buttonRows"), Qt::FindDirectChildrenOnly);
        if (auto* rows = dynamic_cast<ButtonRows*>(found))
            return *rows;
        return *new ButtonRows(page);
    }

    void add(Row row)
    {
        mRows.push_back(std::move(row));
        layOut();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The buttons take the new font after the page has heard of it.
        if (event->type() == QEvent::FontChange)
            QMetaObject::invokeMethod(this, [this] { layOut(); }, Qt::QueuedConnection);
        return QObject::eventFilter(watched, event);
    }

private:
    explicit ButtonRows(QWidget* page)
        : QObject(page)
    {
        setObjectName(QStringLiteral("buttonRows"));
        page->installEventFilter(this);
    }

    void layOut()
    {
        for (const Row& row : mRows) {
            int left = 4;
            for (const Item& item : row.items) {
                const int width = item.button ? std::max(item.width, item.button->sizeHint().width()) : item.width;
                if (item.button)
                    item.button->setGeometry(left, row.top, width, row.height);
                left += width;
            }
        }
    }

    std::vector<Row> mRows;
};

} // namespace

// Buttons of the property pages: icon above caption, in the rows given,
// Separator leaving a gap.
void Tfrm_Child::addButtonRows(QWidget* page, int& top, QSize size,
                               std::initializer_list<std::initializer_list<std::string_view>> rows)
{
    ButtonRows& laidOut = ButtonRows::of(page);
    for (const auto& row : rows) {
        ButtonRows::Row placed{top, size.height(), {}};
        for (std::string_view name : row) {
            if (name == Separator) {
                placed.items.push_back({nullptr, SeparatorWidth});
                continue;
            }
            auto* button = new QToolButton(page);
            button->setDefaultAction(action(name));
            button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
            button->setAutoRaise(true);
            button->setIconSize(QSize(16, 16));
            placed.items.push_back({button, size.width()});
        }
        laidOut.add(std::move(placed));
        top += size.height();
    }
}

void Tfrm_Child::createLayout()
{
    mClient->setMinimumSize(DesignClient);
    mClient->resize(DesignClient);

    ToolBar1 = makeToolBar(mClient, "ToolBar1", true);
    ToolBar1->setGeometry(0, 0, DesignClient.width(), 42);
    mActions->addTo(ToolBar1,
                    {"aSzoveg", "aKep", "aQrKod", "aAlakzat", Separator, "aTorol", Separator, "aVisszavonas", "aMegis",
                     Separator, "aBezar"},
                    QSize(72, 36));
    ToolBar1->addSeparator();
    ZoomBox1 = new QComboBox(ToolBar1);
    ZoomBox1->setObjectName("ZoomBox1");
    ZoomBox1->setToolTip(QStringLiteral("Nagyítás"));
    ZoomBox1->setFocusPolicy(Qt::ClickFocus);
    for (int percent : CardSurface::zooms())
        ZoomBox1->addItem(QStringLiteral("%1%").arg(percent), percent);
    ToolBar1->addWidget(ZoomBox1);
    // The cut lines' switch sits beside the zoom, as a picture alone: its
    // caption would not fit the bar.
    auto* cutGuides = new QToolButton(ToolBar1);
    cutGuides->setObjectName("CutGuidesButton");
    cutGuides->setDefaultAction(action("aVagasiVonalak"));
    cutGuides->setToolButtonStyle(Qt::ToolButtonIconOnly);
    cutGuides->setAutoRaise(true);
    ToolBar1->addWidget(cutGuides);

    GroupBox1 = new QGroupBox(QStringLiteral("Lapora"), mClient);
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->setGeometry(DesignCardBox);
    ScrollBox1 = new QScrollArea(GroupBox1);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setWidgetResizable(true);
    ScrollBox1->viewport()->setAutoFillBackground(false);
    Surface1 = new CardSurface(ScrollBox1);
    ScrollBox1->setWidget(Surface1);
    Image0 = Surface1->picture();
    Shape1 = new ResizeHandle(Surface1, 1);
    Shape1->setObjectName("Shape1");
    Shape4 = new ResizeHandle(Surface1, 4);
    Shape4->setObjectName("Shape4");
    Shape1->hide();
    Shape4->hide();
    for (ResizeHandle* handle : {Shape1, Shape4}) {
        connect(handle, &ResizeHandle::pressed, this, &Tfrm_Child::Shape1MouseDown);
        connect(handle, &ResizeHandle::moved, this, &Tfrm_Child::Shape1MouseMove);
        connect(handle, &ResizeHandle::released, this, &Tfrm_Child::Shape1MouseUp);
    }
    connect(Surface1, &CardSurface::zoomChanged, this, [this] { guarded([this] { zoomChanged(); }); });
    connect(Surface1, &CardSurface::zoomStepped, this, [this](int steps) {
        guarded([&] {
            for (int step = 0; step < std::abs(steps); ++step)
                steps > 0 ? aNagyitasExecute() : aKicsinyitesExecute();
        });
    });
    connect(Surface1, &CardSurface::nudged, this, [this](QPoint step) { guarded([&] { nudge(step); }); });
    connect(Surface1, &CardSurface::filesDropped, this, [this](const QList<QUrl>& files, QPoint at) {
        guarded([&] {
            QStringList paths;
            for (const QUrl& file : files)
                if (file.isLocalFile())
                    paths << file.toLocalFile();
            dropPictures(paths, at);
        });
    });
    connect(Surface1, &CardSurface::areaChosen, this, [this](const QRect& box, Qt::KeyboardModifiers modifiers) {
        guarded([&] { areaChosen(box, modifiers); });
    });
    // A click on the empty card keeps the current layer alone.
    connect(Surface1, &CardSurface::emptyClicked, this, [this](Qt::KeyboardModifiers modifiers) {
        guarded([&] {
            if (grouped() && !(modifiers & (Qt::ShiftModifier | Qt::ControlModifier)))
                selectLayers({mDocument.current()});
        });
    });
    connect(ZoomBox1, &QComboBox::activated, this,
            [this](int index) { guarded([&] { setZoom(ZoomBox1->itemData(index).toInt()); }); });

    GroupBox3 = new QGroupBox(QStringLiteral("Rétegek"), mClient);
    GroupBox3->setObjectName("GroupBox3");
    GroupBox3->setGeometry(LayerBox.x(), LayerBox.y(), DesignCardBox.width(), 213);
    ToolBar3 = makeToolBar(GroupBox3, "ToolBar3", false);
    ToolBar3->setGeometry(2, 18, DesignCardBox.width() - 4, 24);
    mActions->addTo(ToolBar3,
                    {"aSzoveg", "aKep", "aQrKod", "aAlakzat", Separator, "aTorol", Separator, "aFeljebb", "aHatrabb",
                     Separator, "aVizszintesKozepre", "aFuggolegesKozepre", Separator, "aDuplikalas"});
    // The alignments would not fit the bar as buttons: one button opens
    // their menu.
    MenuIgazitas = new QMenu(QStringLiteral("Igazítás"), mClient);
    MenuIgazitas->setObjectName("MenuIgazitas");
    MenuIgazitas->setIcon(ImageList::icon(79));
    MenuIgazitas->menuAction()->setProperty("tag", 0);
    mActions->addTo(MenuIgazitas, {"aIgazitBalra", "aIgazitVizszintesen", "aIgazitJobbra", Separator, "aIgazitFelulre",
                                   "aIgazitFuggolegesen", "aIgazitAlulra", Separator, "aElosztVizszintesen",
                                   "aElosztFuggolegesen"});
    auto* align = new QToolButton(ToolBar3);
    align->setObjectName("IgazitasButton");
    align->setMenu(MenuIgazitas);
    align->setPopupMode(QToolButton::InstantPopup);
    align->setIcon(ImageList::icon(79));
    align->setToolTip(QStringLiteral("Igazítás"));
    align->setAutoRaise(true);
    ToolBar3->addSeparator();
    ToolBar3->addWidget(align);
    DBGrid1 = new LayerGrid(Tbl(), GroupBox3);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setRowChooser([this](int row) { mDocument.setCurrent(Tbl().StoredId(row)); });
    DBGrid1->setGeometry(8, 48, DesignCardBox.width() - 24, 157);

    PageControl1 = new QTabWidget(mClient);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setGeometry(PanelBox.x(), PanelBox.y(), 377, DesignClient.height() - PanelBox.y() - 6);
    PageControl1->setIconSize(QSize(16, 16));
    TabSheet1 = createTextPage();
    TabSheet2 = createPicturePage();
    TabSheet3 = createShapePage();
    PageControl1->addTab(TabSheet1, ImageList::icon(12), QStringLiteral("Szöveg"));
    PageControl1->addTab(TabSheet2, ImageList::icon(13), QStringLiteral("Kép"));
    PageControl1->addTab(TabSheet3, ImageList::icon(14), QStringLiteral("Alakzat"));
    mTabPages = {TabSheet1, TabSheet2, TabSheet3};
    layOutCardBox();
}

QWidget* Tfrm_Child::createTextPage()
{
    auto* page = new QWidget;
    page->setObjectName("TabSheet1");
    int top = 4;
    addButtonRows(page, top, QSize(53, 36),
                  {{"aFelkover", "aDolt", "aAlahuzott"},
                   {"aBalra", "aKozepre", "aJobbra", Separator, "aSzin", Separator, "aBetutipus"}});

    label(page, QStringLiteral("szöveg"), {8, 116});
    DBEdit1 = new FieldEdit(Tbl(), Field::nev, page);
    DBEdit1->setObjectName("DBEdit1");
    DBEdit1->setGeometry(8, 132, 349, 21);

    label(page, QStringLiteral("betűtípus"), {8, 160});
    DBComboBox1 = new FieldComboBox(Tbl(), Field::betutipus, page);
    DBComboBox1->setObjectName("DBComboBox1");
    DBComboBox1->setGeometry(8, 176, 261, 21);
    // Only names the card file can store: the list bypasses the typing check.
    QStringList faces = installedFontFamilies();
    faces.append(QStringLiteral("Default"));
    faces.sort(Qt::CaseInsensitive);
    DBComboBox1->addItems(faces);

    DBComboBox2 = new FieldComboBox(Tbl(), Field::betumeret, page);
    DBComboBox2->setObjectName("DBComboBox2");
    DBComboBox2->setGeometry(272, 176, 85, 21);
    for (int size = 6; size <= 36; ++size)
        DBComboBox2->addItem(QString::number(size));

    // Filling the lists must not count as typing.
    DBComboBox1->setCurrentIndex(-1);
    DBComboBox2->setCurrentIndex(-1);

    LblNote = new QLabel(page);
    LblNote->setObjectName("LblNote");
    LblNote->setGeometry(8, 204, 349, 34);
    LblNote->setWordWrap(true);
    LblNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette warning = LblNote->palette();
    warning.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x00));
    LblNote->setPalette(warning);
    LblNote->hide();
    mNoteTimer.setSingleShot(true);
    connect(&mNoteTimer, &QTimer::timeout, LblNote, &QWidget::hide);
    connect(DBEdit1, &FieldEdit::refused, this, &Tfrm_Child::showNote);
    connect(DBComboBox1, &FieldComboBox::refused, this, &Tfrm_Child::showNote);
    connect(DBComboBox2, &FieldComboBox::refused, this, &Tfrm_Child::showNote);
    return page;
}

void Tfrm_Child::showNote(const QString& note)
{
    LblNote->setText(note);
    LblNote->show();
    mNoteTimer.start(NoteShownMs);
}

QWidget* Tfrm_Child::createPicturePage()
{
    auto* page = new QWidget;
    page->setObjectName("TabSheet2");
    int top = 4;
    addButtonRows(page, top, QSize(72, 36), {{"aNyujtas", "aNormal", Separator, "aKepValaszt"}});
    return page;
}

QWidget* Tfrm_Child::createShapePage()
{
    auto* page = new QWidget;
    page->setObjectName("TabSheet3");
    int top = 4;
    addButtonRows(page, top, QSize(93, 36), {{"aES0", "aES1", "aES2"}, {"aES3", "aES4", "aES5"}, {"aES6"}});
    top += 6;
    addButtonRows(page, top, QSize(58, 36), {{"aV1", "aV2", "aV3", "aV4"}, {"aV5", "aV6", "aV7"}});
    top += 6;
    addButtonRows(page, top, QSize(91, 36), {{"aCS0", "aCS1", "aCS2"}, {"aCS3", "aCS4"}});
    top += 6;
    addButtonRows(page, top, QSize(68, 36), {{"aTeglalap", "aKor", Separator, "aEcsetSzin", "aCeruzaSzin"}});
    return page;
}

// The card box grows with the window; the layer list below it and the
// panel beside it keep their size and move along.
void Tfrm_Child::layOutCardBox()
{
    const QSize extra = (mClient->size() - DesignClient).expandedTo(QSize(0, 0));
    ToolBar1->resize(DesignClient.width() + extra.width(), ToolBar1->height());
    GroupBox1->setGeometry(DesignCardBox.adjusted(0, 0, extra.width(), extra.height()));
    ScrollBox1->setGeometry(0, CardBoxTitle, GroupBox1->width(), GroupBox1->height() - CardBoxTitle);
    GroupBox3->move(LayerBox.x(), LayerBox.y() + extra.height());
    PageControl1->move(PanelBox.x() + extra.width(), PanelBox.y());
}

void Tfrm_Child::resizeEvent(QResizeEvent* event)
{
    QMdiSubWindow::resizeEvent(event);
    if (ScrollBox1 && GroupBox3 && PageControl1)
        layOutCardBox();
}
