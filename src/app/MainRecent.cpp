#include "app/Main.h"

#include "app/MenuPainting.h"
#include "app/Settings.h"
#include "editor/ErrorBox.h"
#include "layer/Win1250Text.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>

namespace {

constexpr qsizetype ShownPathLength = 60;

// A long path keeps its start and its file name, the middle cut.
QString shortened(const QString& path)
{
    if (path.size() <= ShownPathLength)
        return path;
    const qsizetype tail = ShownPathLength * 2 / 3;
    return path.left(ShownPathLength - tail - 1) + QChar(0x2026) + path.right(tail);
}

bool isCardFile(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("bcrd"), Qt::CaseInsensitive) == 0;
}

} // namespace

// The settings file is Windows-1250 text: a path it cannot hold is not
// kept.
void Tfrm_Main::rememberCard(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    if (!fitsWin1250(full))
        return;
    const QStringList before = Beall.RecentCards;
    Beall.RecentCards.removeAll(full);
    Beall.RecentCards.prepend(full);
    while (Beall.RecentCards.size() > MaxRecentCards)
        Beall.RecentCards.removeLast();
    if (Beall.RecentCards != before)
        keepRecentCards();
}

// A settings file that cannot be written is said, but the card that was
// opened or saved stays as it is.
void Tfrm_Main::keepRecentCards()
{
    guarded([] { SaveRecentCards(); });
}

// Numbered at the foot of the File menu, made afresh each time it opens.
void Tfrm_Main::rebuildRecentList()
{
    qDeleteAll(mRecentEntries);
    mRecentEntries.clear();
    if (Beall.RecentCards.isEmpty())
        return;
    mRecentEntries << mnFile->addSeparator();
    for (int i = 0; i < Beall.RecentCards.size(); ++i) {
        const QString path = Beall.RecentCards[i];
        QString shown = shortened(path);
        auto* entry = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown.replace('&', QLatin1String("&&"))),
                                  mnFile);
        entry->setProperty(SystemLookProperty, true);
        entry->setToolTip(path);
        connect(entry, &QAction::triggered, this, [this, path] { guarded([&] { openRecent(path); }); });
        mnFile->addAction(entry);
        mRecentEntries << entry;
    }
}

void Tfrm_Main::openRecent(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        Beall.RecentCards.removeAll(path);
        keepRecentCards();
        throw std::runtime_error("A(z) \u201E" + path.toStdString()
                                 + "\u201D k\u00E1rtya m\u00E1r nem l\u00E9tezik; kiveszem a legut\u00F3bbi "
                                   "k\u00E1rty\u00E1k list\u00E1j\u00E1b\u00F3l.");
    }
    openCardFile(path);
}

void Tfrm_Main::dragEnterEvent(QDragEnterEvent* event)
{
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile() && isCardFile(url.toLocalFile())) {
            event->acceptProposedAction();
            return;
        }
    }
}

// Card files dropped on the frame open as Open opens them, each in its
// window; one that cannot be read says so and the rest still open.
void Tfrm_Main::dropEvent(QDropEvent* event)
{
    QStringList cards;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile() && isCardFile(url.toLocalFile()))
            cards << url.toLocalFile();
    if (cards.isEmpty())
        return;
    event->acceptProposedAction();
    openCardFiles(cards);
}
