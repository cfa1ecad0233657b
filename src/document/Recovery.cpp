#include "document/Recovery.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <algorithm>

namespace {

const QString LockSuffix = QStringLiteral(".lock");
const QString CardSuffix = QStringLiteral(".bcrd");
const QString AboutSuffix = QStringLiteral(".txt");

QString aboutOf(const QString& card)
{
    return card.left(card.size() - CardSuffix.size()) + AboutSuffix;
}

RecoverySession::Leftover readLeftover(const QString& card)
{
    RecoverySession::Leftover copy;
    copy.card = card;
    copy.about = aboutOf(card);
    copy.written = QFileInfo(card).lastModified();
    QFile about(copy.about);
    if (about.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : about.readAll().split('\n')) {
            const QString text = QString::fromUtf8(line);
            const qsizetype equals = text.indexOf(QLatin1Char('='));
            if (equals < 0)
                continue;
            const QString key = text.left(equals);
            const QString value = text.mid(equals + 1);
            if (key == QLatin1String("title"))
                copy.title = value;
            else if (key == QLatin1String("file"))
                copy.fileName = value;
            else if (key == QLatin1String("written"))
                copy.written = QDateTime::fromString(value, Qt::ISODateWithMs);
        }
    }
    if (copy.title.isEmpty())
        copy.title = copy.fileName.isEmpty() ? QStringLiteral("Névtelen.bcrd") : copy.fileName;
    return copy;
}

} // namespace

QString recoveryAboutText(const QString& title, const QString& fileName, const QDateTime& written)
{
    return QStringLiteral("title=") + title + QStringLiteral("\nfile=") + fileName + QStringLiteral("\nwritten=")
        + written.toString(Qt::ISODateWithMs) + QLatin1Char('\n');
}

RecoverySession::RecoverySession(QString root)
    : mRoot(std::move(root))
{
}

RecoverySession::~RecoverySession() = default;

bool RecoverySession::start()
{
    if (mLock)
        return true;
    if (!QDir().mkpath(mRoot))
        return false;
    for (int attempt = 0; attempt < 10; ++attempt) {
        const QString name = QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-')
            + QString::number(QRandomGenerator::global()->bounded(1000000));
        auto lock = std::make_unique<QLockFile>(mRoot + QLatin1Char('/') + name + LockSuffix);
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0))
            continue;
        const QString folder = mRoot + QLatin1Char('/') + name;
        if (!QDir().mkpath(folder)) {
            lock->unlock();
            return false;
        }
        mLock = std::move(lock);
        mFolder = folder;
        return true;
    }
    return false;
}

QString RecoverySession::nextCopy()
{
    if (!started())
        return {};
    for (;;) {
        const QString path = mFolder + QStringLiteral("/card") + QString::number(++mNext) + CardSuffix;
        if (!QFileInfo::exists(path))
            return path;
    }
}

// A folder is left over when its lock can be taken: the program that held
// it no longer runs. The lock is given back at once; the copies stay until
// they are opened or discarded.
std::vector<RecoverySession::Leftover> RecoverySession::leftovers() const
{
    std::vector<Leftover> found;
    const QDir root(mRoot);
    for (const QFileInfo& folder : root.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (folder.absoluteFilePath() == QFileInfo(mFolder).absoluteFilePath())
            continue;
        QLockFile lock(folder.absoluteFilePath() + LockSuffix);
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue;
        lock.unlock();
        const QDir copies(folder.absoluteFilePath());
        for (const QFileInfo& card : copies.entryInfoList({QStringLiteral("*") + CardSuffix}, QDir::Files))
            found.push_back(readLeftover(card.absoluteFilePath()));
    }
    std::sort(found.begin(), found.end(),
              [](const Leftover& a, const Leftover& b) { return a.written < b.written; });
    return found;
}

QString RecoverySession::adopt(const Leftover& copy)
{
    const QString path = nextCopy();
    if (path.isEmpty() || !QFile::rename(copy.card, path))
        return {};
    // What is known of it goes along, should this run end badly too.
    if (!QFile::rename(copy.about, aboutOf(path)))
        QFile::remove(copy.about);
    const QString folder = QFileInfo(copy.card).absolutePath();
    if (QDir().rmdir(folder))
        QFile::remove(folder + LockSuffix);
    return path;
}

void RecoverySession::discard(const Leftover& copy) const
{
    QFile::remove(copy.card);
    QFile::remove(copy.about);
    const QString folder = QFileInfo(copy.card).absolutePath();
    if (QDir().rmdir(folder))
        QFile::remove(folder + LockSuffix);
}

void RecoverySession::finish()
{
    if (!mLock)
        return;
    QDir(mFolder).removeRecursively();
    mLock->unlock();
    mLock.reset();
}
