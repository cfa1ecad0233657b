#include "document/Child.h"

#include "document/Printing.h"
#include "print/rptLapora.h"
#include "storage/FileAccess.h"
#include "storage/TableError.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The job's copy of the card in the data folder, "tmp" and a random number;
// the name is taken only when no file has it yet, and the file goes when
// the job ends, however it ends.
class TemporaryCard
{
public:
    explicit TemporaryCard(const QString& dataDir)
    {
        for (;;) {
            mPath = dataDir + "/tmp" + QString::number(QRandomGenerator::global()->bounded(2147483647)) + ".bcrd";
            const int fd = ::open(QFile::encodeName(mPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd >= 0) {
                ::close(fd);
                return;
            }
            if (errno != EEXIST)
                throw TableError("Cannot create file \"" + mPath.toStdString() + "\". " + systemReason(errno));
        }
    }
    ~TemporaryCard() { QFile::remove(mPath); }
    TemporaryCard(const TemporaryCard&) = delete;
    TemporaryCard& operator=(const TemporaryCard&) = delete;

    const QString& path() const { return mPath; }

private:
    QString mPath;
};

} // namespace

std::vector<LayerItem> Tfrm_Child::printables()
{
    const TemporaryCard card(mSettings.DataDir);
    mDocument.writeCopy(card.path());
    return loadCardReport(card.path())->Printables;
}

void Tfrm_Child::PreviewCard()
{
    runPrintJob(false);
}

void Tfrm_Child::PrintCard()
{
    runPrintJob(true);
}

// An edit still pending in the text panel is not posted first: the sheet
// shows the card as stored. The card itself, its title and its modified
// flag stay as they were.
void Tfrm_Child::runPrintJob(bool print)
{
    const TemporaryCard card(mSettings.DataDir);
    mDocument.writeCopy(card.path());
    RunCardReport(card.path(), print);
}
