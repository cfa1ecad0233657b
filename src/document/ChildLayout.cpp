#include "document/Child.h"

#include "document/Fonts.h"
#include "document/LayerLook.h"
#include "editor/CardPicture.h"
#include "editor/FieldEditors.h"
#include "editor/ImageList.h"
#include "editor/LayerGrid.h"
#include "editor/ResizeHandle.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr int SeparatorWidth = 8;

// Buttons of the property pages: icon above caption, fixed sizes, in the
// rows given; nullptr in a row stands for a separator.
int addButtonRows(QWidget* page, int top, QSize size, const std::vector<std::vector<QAction*>>& rows)
{
    for (const auto& row : rows) {
        int left = 4;
        for (QAction* action : row) {
            if (!action) {
                left += SeparatorWidth;
                continue;
            }
            auto* button = new QToolButton(page);
            button->setDefaultAction(action);
            button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
            button->setAutoRaise(true);
            button->setIconSize(QSize(16, 16));
            button->setGeometry(left, top, size.width(), size.height());
            left += size.width();
        }
        top += size.height();
    }
    return top;
}

QToolBar* makeToolBar(QWidget* parent, const char* name, QSize buttonSize, bool captions)
{
    auto* bar = new QToolBar(parent);
    bar->setObjectName(name);
    bar->setIconSize(QSize(16, 16));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setToolButtonStyle(captions ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
    bar->setProperty("buttonSize", buttonSize);
    return bar;
}

void addToolBarActions(QToolBar* bar, std::initializer_list<QAction*> actions)
{
    const QSize size = bar->property("buttonSize").toSize();
    for (QAction* action : actions) {
        if (!action) {
            bar->addSeparator();
            continue;
        }
        bar->addAction(action);
        if (QWidget* button = bar->widgetForAction(action); button && size.isValid())
            button->setFixedSize(size);
    }
}

QLabel* label(QWidget* parent, const QString& text, QPoint at)
{
    auto* caption = new QLabel(text, parent);
    caption->move(at);
    caption->adjustSize();
    return caption;
}

} // namespace

void Tfrm_Child::createLayout()
{
    mClient->setFixedSize(766, 507);

    ToolBar1 = makeToolBar(mClient, "ToolBar1", QSize(72, 36), true);
    ToolBar1->setGeometry(0, 0, 766, 42);
    addToolBarActions(ToolBar1, {action("aSzoveg"), action("aKep"), action("aAlakzat"), nullptr, action("aTorol"),
                                 nullptr, action("aBezar")});

    GroupBox1 = new QGroupBox(QStringLiteral("Lapora"), mClient);
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->setGeometry(8, 48, 369, 233);
    Image0 = new QLabel(GroupBox1);
    Image0->setObjectName("Image0");
    Image0->setPixmap(CardPicture::pixmap());
    Image0->setGeometry(8, 24, 350, 199);
    Shape1 = new ResizeHandle(GroupBox1, 1);
    Shape1->setObjectName("Shape1");
    Shape4 = new ResizeHandle(GroupBox1, 4);
    Shape4->setObjectName("Shape4");
    Shape1->hide();
    Shape4->hide();

    GroupBox3 = new QGroupBox(QStringLiteral("Rétegek"), mClient);
    GroupBox3->setObjectName("GroupBox3");
    GroupBox3->setGeometry(8, 288, 369, 213);
    ToolBar3 = makeToolBar(GroupBox3, "ToolBar3", QSize(), false);
    ToolBar3->setGeometry(2, 18, 365, 24);
    addToolBarActions(ToolBar3, {action("aSzoveg"), action("aKep"), action("aAlakzat"), nullptr, action("aTorol"),
                                 nullptr, action("aFeljebb"), action("aHatrabb")});
    DBGrid1 = new LayerGrid(Tbl, GroupBox3);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setGeometry(8, 48, 345, 157);

    PageControl1 = new QTabWidget(mClient);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setGeometry(384, 48, 377, 453);
    PageControl1->setIconSize(QSize(16, 16));
    TabSheet1 = createTextPage();
    TabSheet2 = createPicturePage();
    TabSheet3 = createShapePage();
    PageControl1->addTab(TabSheet1, ImageList::icon(12), QStringLiteral("Szöveg"));
    PageControl1->addTab(TabSheet2, ImageList::icon(13), QStringLiteral("Kép"));
    PageControl1->addTab(TabSheet3, ImageList::icon(14), QStringLiteral("Alakzat"));
    mTabPages = {TabSheet1, TabSheet2, TabSheet3};
}

QWidget* Tfrm_Child::createTextPage()
{
    auto* page = new QWidget;
    page->setObjectName("TabSheet1");
    addButtonRows(page, 4, QSize(53, 36),
                  {{action("aFelkover"), action("aDolt"), action("aAlahuzott")},
                   {action("aBalra"), action("aKozepre"), action("aJobbra"), nullptr, action("aSzin"), nullptr,
                    action("aBetutipus")}});

    label(page, QStringLiteral("szöveg"), {8, 116});
    DBEdit1 = new FieldEdit(Tbl, "nev", page);
    DBEdit1->setObjectName("DBEdit1");
    DBEdit1->setGeometry(8, 132, 349, 21);

    label(page, QStringLiteral("betűtípus"), {8, 160});
    DBComboBox1 = new FieldComboBox(Tbl, "betutipus", page);
    DBComboBox1->setObjectName("DBComboBox1");
    DBComboBox1->setGeometry(8, 176, 261, 21);
    // Only names the card file can store: the list bypasses the typing check.
    QStringList faces;
    for (const QString& face : installedFontFamilies()) {
        if (fitsWin1250(face))
            faces.append(face);
    }
    faces.append(QStringLiteral("Default"));
    faces.sort(Qt::CaseInsensitive);
    DBComboBox1->addItems(faces);

    DBComboBox2 = new FieldComboBox(Tbl, "betumeret", page);
    DBComboBox2->setObjectName("DBComboBox2");
    DBComboBox2->setGeometry(272, 176, 85, 21);
    for (int size = 6; size <= 36; ++size)
        DBComboBox2->addItem(QString::number(size));

    // Filling the lists must not count as typing.
    DBComboBox1->setCurrentIndex(-1);
    DBComboBox2->setCurrentIndex(-1);
    return page;
}

QWidget* Tfrm_Child::createPicturePage()
{
    auto* page = new QWidget;
    page->setObjectName("TabSheet2");
    addButtonRows(page, 4, QSize(72, 36), {{action("aNyujtas"), action("aNormal"), nullptr, action("aKepValaszt")}});
    return page;
}

QWidget* Tfrm_Child::createShapePage()
{
    auto* page = new QWidget;
    page->setObjectName("TabSheet3");
    auto a = [this](const char* name) { return action(name); };
    int top = addButtonRows(page, 4, QSize(93, 36),
                            {{a("aES0"), a("aES1"), a("aES2")}, {a("aES3"), a("aES4"), a("aES5")}, {a("aES6")}});
    top = addButtonRows(page, top + 6, QSize(58, 36),
                        {{a("aV1"), a("aV2"), a("aV3"), a("aV4")}, {a("aV5"), a("aV6"), a("aV7")}});
    top = addButtonRows(page, top + 6, QSize(91, 36),
                        {{a("aCS0"), a("aCS1"), a("aCS2")}, {a("aCS3"), a("aCS4")}});
    addButtonRows(page, top + 6, QSize(68, 36),
                  {{a("aTeglalap"), a("aKor"), nullptr, a("aEcsetSzin"), a("aCeruzaSzin")}});
    return page;
}
