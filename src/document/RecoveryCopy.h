#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class CardDocument;

// The recovery copy of one card window's card. While the card has unsaved
// changes, a copy is written at most an interval after the first of them
// and then every interval while changes keep coming, never while a mouse
// button is down. It is written by the card writer on a thread of its own
// from a snapshot of the table (pictures shared, not copied), so the window
// does not wait for it. Saving, and closing, take the copy away.
class RecoveryCopy : public QObject
{
    Q_OBJECT

public:
    // The window's title, as the copy is offered under it.
    using Title = std::function<QString()>;

    RecoveryCopy(CardDocument& document, QString path, Title title, QObject* parent = nullptr);
    ~RecoveryCopy() override;

    const QString& path() const { return mPath; }
    // Writes a copy soon, whatever the interval (a card just recovered).
    void writeSoon();
    // The copy goes; a write under way is taken away when it ends.
    void remove();
    // Waits until no write is under way (tests, and closing).
    void waitForWrite();

    // 30 s, or LAPORA_RECOVERY_INTERVAL_MS where that is set.
    static int intervalMs();

signals:
    void written(const QString& path);

private:
    struct Shared;

    void changed();
    void due();
    void finished(bool ok, const QString& error);

    CardDocument& mDocument;
    QString mPath;
    Title mTitle;
    QTimer mTimer;
    std::shared_ptr<Shared> mShared;
    bool mWriting = false;
    bool mAgain = false;    // a change came while a copy was being written
    bool mRemoved = false;  // the copy must not stay
    bool mFailureShown = false;
};
