#include "document/RecoveryCopy.h"

#include "document/CardDocument.h"
#include "document/Recovery.h"
#include "editor/ErrorBox.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QPointer>
#include <QSaveFile>
#include <QThreadPool>

#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <utility>

namespace {

constexpr int DefaultIntervalMs = 30000;
// While a button is down the copy waits this long and looks again.
constexpr int ButtonDownRetryMs = 500;

} // namespace

// A write under way keeps this, so that the window may go before it ends.
struct RecoveryCopy::Shared
{
    std::mutex mutex;
    std::condition_variable idle;
    bool writing = false;
};

RecoveryCopy::RecoveryCopy(CardDocument& document, QString path, Title title, QObject* parent)
    : QObject(parent)
    , mDocument(document)
    , mPath(std::move(path))
    , mTitle(std::move(title))
    , mShared(std::make_shared<Shared>())
{
    mTimer.setSingleShot(true);
    connect(&mTimer, &QTimer::timeout, this, &RecoveryCopy::due);
    connect(&document.history(), &QUndoStack::indexChanged, this, &RecoveryCopy::changed);
    connect(&document, &CardDocument::modifiedChanged, this, [this](bool modified) {
        if (modified)
            changed();
        else
            remove();
    });
}

RecoveryCopy::~RecoveryCopy()
{
    waitForWrite();
}

int RecoveryCopy::intervalMs()
{
    bool ok = false;
    const int set = qEnvironmentVariableIntValue("LAPORA_RECOVERY_INTERVAL_MS", &ok);
    return ok && set > 0 ? set : DefaultIntervalMs;
}

// The first change since the last copy starts the wait; those after it
// ride along.
void RecoveryCopy::changed()
{
    if (!mDocument.isModified() || mPath.isEmpty())
        return;
    mRemoved = false;
    if (mWriting)
        mAgain = true;
    else if (!mTimer.isActive())
        mTimer.start(intervalMs());
}

void RecoveryCopy::writeSoon()
{
    mRemoved = false;
    mTimer.start(0);
}

void RecoveryCopy::due()
{
    if (!mDocument.isModified() || mPath.isEmpty())
        return;
    if (QGuiApplication::mouseButtons() != Qt::NoButton) {
        mTimer.start(ButtonDownRetryMs);
        return;
    }
    if (mWriting) {
        mAgain = true;
        return;
    }
    CardDocument::Snapshot snapshot = mDocument.snapshot();
    const QString about = recoveryAboutText(mTitle(), mDocument.fileName(), QDateTime::currentDateTime());
    mWriting = true;
    {
        std::lock_guard lock(mShared->mutex);
        mShared->writing = true;
    }
    QPointer<RecoveryCopy> self(this);
    QThreadPool::globalInstance()->start(
        [snapshot = std::move(snapshot), path = mPath, about, shared = mShared, self]() mutable {
            bool ok = true;
            QString error;
            try {
                CardDocument::writeSnapshot(std::move(snapshot), path);
                QSaveFile aboutFile(path.left(path.size() - 5) + QStringLiteral(".txt"));
                if (!aboutFile.open(QIODevice::WriteOnly) || aboutFile.write(about.toUtf8()) < 0
                    || !aboutFile.commit())
                    throw std::runtime_error(aboutFile.errorString().toStdString());
            } catch (const std::exception& failure) {
                ok = false;
                error = QString::fromUtf8(failure.what());
            }
            {
                std::lock_guard lock(shared->mutex);
                shared->writing = false;
            }
            shared->idle.notify_all();
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self, ok, error] {
                    if (self)
                        self->finished(ok, error);
                },
                Qt::QueuedConnection);
        });
}

void RecoveryCopy::finished(bool ok, const QString& error)
{
    mWriting = false;
    if (mRemoved) {
        remove();
        return;
    }
    if (ok) {
        mFailureShown = false;
        emit written(mPath);
    } else if (!mFailureShown) {
        // Said once: the next copy is tried all the same.
        mFailureShown = true;
        showError(std::runtime_error("A kártya helyreállítási másolata nem írható: " + error.toStdString()));
    }
    if (std::exchange(mAgain, false) && !mTimer.isActive())
        mTimer.start(intervalMs());
}

// A write under way is waited for, so that it cannot bring the copy back.
void RecoveryCopy::remove()
{
    mTimer.stop();
    mAgain = false;
    mRemoved = true;
    if (mPath.isEmpty())
        return;
    waitForWrite();
    QFile::remove(mPath);
    QFile::remove(mPath.left(mPath.size() - 5) + QStringLiteral(".txt"));
}

void RecoveryCopy::waitForWrite()
{
    std::unique_lock lock(mShared->mutex);
    mShared->idle.wait(lock, [this] { return !mShared->writing; });
}
