#include "app/StartupProbe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

// Any widget of the window will do: the frame itself may be covered by its
// children and never be sent a paint event.
class FirstPaintWatch : public QObject
{
public:
    FirstPaintWatch(QWidget* window, const QElapsedTimer& sinceStart, int quitAfterMs)
        : QObject(window), mWindow(window), mSinceStart(sinceStart), mQuitAfterMs(quitAfterMs)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == mWindow) {
            qApp->removeEventFilter(this);
            // Queued: the painting is on the screen once this event's
            // update has been flushed.
            QTimer::singleShot(0, this, [this] { painted(); });
        }
        return false;
    }

private:
    void painted()
    {
        std::printf("painted %lld ms\n", static_cast<long long>(mSinceStart.elapsed()));
        std::fflush(stdout);
        QPointer<QWidget> window(mWindow);
        QTimer::singleShot(mQuitAfterMs, qApp, [window] {
            if (window)
                window->close();
        });
    }

    QWidget* mWindow;
    QElapsedTimer mSinceStart;
    int mQuitAfterMs;
};

} // namespace

void watchFirstPaint(QWidget* window, const QElapsedTimer& sinceStart)
{
    bool ok = false;
    const int quitAfterMs = qEnvironmentVariableIntValue("LAPORA_QUIT_AFTER_SHOW_MS", &ok);
    if (ok && quitAfterMs >= 0)
        new FirstPaintWatch(window, sinceStart, quitAfterMs);
}
