#include "document/Child.h"

#include "editor/CardElement.h"
#include "storage/FileAccess.h"

#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace {

// Detached while the card is written, attached again also after a failure.
class SyncDetached
{
public:
    explicit SyncDetached(LayerTable& table) : mTable(table), mSync(table.AfterScroll)
    {
        mTable.AfterScroll = nullptr;
    }
    ~SyncDetached() { mTable.AfterScroll = mSync; }

private:
    LayerTable& mTable;
    LayerTable::Handler mSync;
};

// A card file begins with its version or definition marker (an empty file
// is an empty card). Anything else, say a photo picked by mistake, would
// load as a few odd layers and be overwritten by the next Save.
void requireCardFile(const QString& path)
{
    QByteArray start;
    try {
        const ReadableFile file(QFile::encodeName(path).toStdString());
        start.resize(4096);
        const ssize_t got = ::read(file.fd(), start.data(), start.size());
        start.resize(got > 0 ? got : 0);
    } catch (const FileError&) {
        return;  // the reader reports why
    }
    qsizetype skip = 0;
    while (skip < start.size() && (start[skip] == '\r' || start[skip] == '\n' || start[skip] == '\0'))
        ++skip;
    start = start.mid(skip);
    if (!start.isEmpty() && !start.startsWith("\"@@")) {
        throw TableError("The file \"" + QFileInfo(path).absoluteFilePath().toStdString() +
                         "\" is not a Lapora card file");
    }
}

} // namespace

void Tfrm_Child::LoadCard(const QString& path)
{
    setWindowTitle(path);
    FileName = path;
    Modified = false;
    requireCardFile(path);
    Tbl.LoadFile(QFile::encodeName(path).toStdString());
    RebuildElements();
    Tbl.MoveFirst();
}

// The title, the file name and the cleared modified flag follow only a
// successful write: a failed save must not look like a saved card.
void Tfrm_Child::SaveCard(const QString& path)
{
    if (Tbl.IsEditing())
        Tbl.PostRecord();
    {
        SyncDetached detached(Tbl);
        Tbl.SaveFile(QFile::encodeName(path).toStdString());
    }
    setWindowTitle(path);
    FileName = path;
    Modified = false;
}
