#pragma once

#include <QDateTime>
#include <QLockFile>
#include <QString>

#include <memory>
#include <vector>

// Where unsaved cards are copied while the program runs, so that a crash or
// a power cut loses none of them. Each running program keeps its copies in
// a folder of its own under the recovery folder, held by a lock file while
// it runs; a clean exit removes both. Copies in a folder whose program no
// longer runs are left over from a run that did not end cleanly, and are
// offered on the next start. A folder another running program holds is
// never touched.
class RecoverySession
{
public:
    // A copy left over by a run that did not end cleanly.
    struct Leftover
    {
        QString card;      // the copy, a card file
        QString about;     // what is known of it
        QString title;     // its card window's title
        QString fileName;  // the card's own file; empty for a card never saved
        QDateTime written;
    };

    explicit RecoverySession(QString root);
    ~RecoverySession();
    RecoverySession(const RecoverySession&) = delete;
    RecoverySession& operator=(const RecoverySession&) = delete;

    // Takes a folder of this run's own; false where none can be made (the
    // program then runs without copies).
    bool start();
    bool started() const { return static_cast<bool>(mLock); }
    const QString& folder() const { return mFolder; }
    // The file for a card window's next copy.
    QString nextCopy();

    // Copies of runs that did not end cleanly, oldest first.
    std::vector<Leftover> leftovers() const;
    // A leftover copy becomes this run's copy of the card window opened
    // from it; its path here.
    QString adopt(const Leftover& copy);
    void discard(const Leftover& copy) const;

    // A clean exit: this run's folder goes, with anything still in it.
    void finish();

private:
    QString mRoot;
    QString mFolder;
    std::unique_ptr<QLockFile> mLock;
    int mNext = 0;
};

// What is written beside a card's copy: its title, its own file and the
// time of the copy, one "key=value" line each.
QString recoveryAboutText(const QString& title, const QString& fileName, const QDateTime& written);
