#include "app/Main.h"

#include "app/MenuPainting.h"
#include "app/Settings.h"
#include "document/Child.h"

#include <QAction>
#include <QMdiArea>
#include <QMenu>

namespace {

constexpr int SmallestFontSize = 8;
constexpr int LargestFontSize = 10;

// A card window cannot be resized: it only moves to its place.
bool resizable(const QWidget* window)
{
    return window->minimumSize() != window->maximumSize();
}

} // namespace

QList<Tfrm_Child*> Tfrm_Main::cardWindows() const
{
    QList<Tfrm_Child*> cards;
    for (QMdiSubWindow* window : mMdiArea->subWindowList(QMdiArea::CreationOrder)) {
        auto* card = qobject_cast<Tfrm_Child*>(window);
        // A closed window lingers hidden until it is deleted.
        if (card && !card->isHidden())
            cards << card;
    }
    return cards;
}

Tfrm_Child* Tfrm_Main::activeCard() const
{
    const QList<Tfrm_Child*> cards = cardWindows();
    for (QMdiSubWindow* candidate : {mMdiArea->activeSubWindow(), mMdiArea->currentSubWindow()}) {
        if (auto* card = qobject_cast<Tfrm_Child*>(candidate); card && cards.contains(card))
            return card;
    }
    return cards.isEmpty() ? nullptr : cards.constFirst();
}

// Called as card windows come, go and change places; a window being
// destroyed is named, as the frame may still list it.
void Tfrm_Main::updateWindowActions(const QObject* closing)
{
    bool any = false;
    for (Tfrm_Child* card : cardWindows())
        any = any || card != closing;
    for (const char* name : {"aWindowCascade1", "aWindowTileHorizontal1", "aWindowTileVertical1", "aNyomdaiPdf"})
        action(name)->setEnabled(any);
}

// The list of card windows under "Ablak", made afresh each time the menu
// opens so that titles and the check mark are current.
void Tfrm_Main::rebuildWindowList()
{
    qDeleteAll(mWindowEntries);
    mWindowEntries.clear();
    const Tfrm_Child* active = activeCard();
    for (Tfrm_Child* card : cardWindows()) {
        QString title = card->windowTitle();
        auto* entry = new QAction(title.replace(QLatin1Char('&'), QLatin1String("&&")), mnAblak);
        entry->setCheckable(true);
        entry->setProperty(SystemLookProperty, true);
        entry->setChecked(card == active);
        connect(entry, &QAction::triggered, card, [this, card] {
            card->showNormal();
            mMdiArea->setActiveSubWindow(card);
        });
        mnAblak->addAction(entry);
        mWindowEntries << entry;
    }
}

void Tfrm_Main::aWindowCascade1Execute()
{
    mMdiArea->cascadeSubWindows();
}

void Tfrm_Main::aWindowTileHorizontal1Execute()
{
    tile(Qt::Vertical);
}

void Tfrm_Main::aWindowTileVertical1Execute()
{
    tile(Qt::Horizontal);
}

// Qt's own tiling makes a grid; these commands want one row or one column,
// the frame split evenly among the windows that are not minimised.
void Tfrm_Main::tile(Qt::Orientation along)
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : mMdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isHidden() && !window->isMinimized())
            windows << window;
    }
    if (windows.isEmpty())
        return;
    const QRect area = mMdiArea->viewport()->rect();
    const int count = int(windows.size());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* window = windows[i];
        if (window->isMaximized())
            window->showNormal();
        QRect slot;
        if (along == Qt::Vertical) {
            const int top = area.height() * i / count;
            slot = QRect(0, top, area.width(), area.height() * (i + 1) / count - top);
        } else {
            const int left = area.width() * i / count;
            slot = QRect(left, 0, area.width() * (i + 1) / count - left, area.height());
        }
        if (resizable(window))
            window->setGeometry(slot);
        else
            window->move(slot.topLeft());
    }
}

void Tfrm_Main::aBetuNovelExecute()
{
    if (Beall.FontSize >= LargestFontSize)
        return;
    ++Beall.FontSize;
    applyInterfaceFontSize();
}

void Tfrm_Main::aBetuCsokkentExecute()
{
    if (Beall.FontSize <= SmallestFontSize)
        return;
    --Beall.FontSize;
    applyInterfaceFontSize();
}

// The frame and every card window; a size the font cannot take (a hand-made
// 0 in the settings file) leaves the font as it is.
void Tfrm_Main::applyInterfaceFontSize()
{
    if (Beall.FontSize <= 0)
        return;
    QFont interfaceFont = font();
    interfaceFont.setPointSize(Beall.FontSize);
    setFont(interfaceFont);
    for (Tfrm_Child* card : cardWindows())
        card->setInterfaceFontSize(Beall.FontSize);
}

// The answer to "Kép kicsinyítése" the settings hold, in every card window.
void Tfrm_Main::applyLargePictures()
{
    for (Tfrm_Child* card : cardWindows())
        card->setLargePictures(Beall.LargePictureAnswer);
}
