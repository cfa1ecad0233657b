#include "merge/DataText.h"

#include "layer/Win1250Text.h"
#include "merge/DataFile.h"
#include "storage/FileAccess.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 ChunkBytes = 64 * 1024;

// Why the file could not be opened, in the user's words. ReadableFile says
// only "Not a regular file"; the user needs to know it is a folder, or a
// pipe or a device that would never end.
std::string whyNotOpened(const std::string& native, const FileError& error)
{
    struct stat st {};
    if (::stat(native.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? "nincs ilyen fájl" : error.what();
    if (S_ISDIR(st.st_mode))
        return "ez egy mappa, nem fájl";
    if (!S_ISREG(st.st_mode))
        return "nem közönséges fájl, hanem cső, eszköz vagy foglalat, amelyből nem olvasható táblázat";
    if (::access(native.c_str(), R_OK) != 0)
        return "nincs jogosultság az olvasásához";
    return error.what();
}

} // namespace

std::string shownName(const QString& path)
{
    return QFileInfo(path).fileName().toStdString();
}

std::unique_ptr<ReadableFile> openDataFile(const QString& path)
{
    const std::string native = QFile::encodeName(path).toStdString();
    try {
        return std::make_unique<ReadableFile>(native);
    } catch (const FileError& error) {
        throw MergeError("A(z) „" + shownName(path) + "” adatfájl nem nyitható meg: " + whyNotOpened(native, error)
                         + ".");
    }
}

void refuseAtLine(const QString& path, long long line, const std::string& what)
{
    throw MergeError("A(z) „" + shownName(path) + "” adatfájl " + std::to_string(line) + ". sorában " + what + ".");
}

DataText::DataText(const QString& path, bool utf8)
    : mPath(path), mFile(openDataFile(path)), mUtf8(utf8)
{
    if (mUtf8 && peek() == QChar(0xFEFF))
        get();
}

DataText::~DataText() = default;

QChar DataText::get()
{
    if (mPos >= mBuffer.size() && !refill())
        return QChar();
    const QChar c = mBuffer[mPos++];
    if (c == u'\n' || (c == u'\r' && peek() != u'\n'))
        ++mLine;
    return c;
}

QChar DataText::peek()
{
    if (mPos >= mBuffer.size() && !refill())
        return QChar();
    return mBuffer[mPos];
}

bool DataText::atEnd()
{
    return peek().isNull();
}

int DataText::bytesOf(QChar c) const
{
    if (!mUtf8 || c.unicode() < 0x80)
        return 1;
    if (c.unicode() < 0x800 || c.isSurrogate())
        return 2;  // a surrogate is half of a four-byte character
    return 3;
}

bool DataText::refill()
{
    mBuffer.clear();
    mPos = 0;
    QByteArray bytes(ChunkBytes, Qt::Uninitialized);
    while (mBuffer.isEmpty() && !mEnded) {
        ssize_t got;
        do {
            got = ::read(mFile->fd(), bytes.data(), std::size_t(bytes.size()));
        } while (got < 0 && errno == EINTR);
        if (got < 0)
            throw MergeError("A(z) „" + shownName(mPath) + "” adatfájl nem olvasható: " + systemReason(errno) + ".");
        mEnded = got == 0;
        const QByteArray chunk = bytes.left(got);
        mBuffer = mUtf8 ? QString(mDecoder.decode(chunk)) : fromWin1250(chunk.toStdString());
    }
    return !mBuffer.isEmpty();
}
