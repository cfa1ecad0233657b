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

void Utf8Check::add(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    const QString text = mDecoder.decode(bytes);
    mFailed = mFailed || mDecoder.hasError() || text.contains(QChar::ReplacementCharacter);
    mTail = (mTail + bytes.right(3)).right(3);
}

bool Utf8Check::passed() const
{
    if (mFailed)
        return false;
    // The continuation bytes at the end, and the lead byte before them.
    qsizetype at = mTail.size();
    int following = 0;
    while (at > 0 && (uchar(mTail[at - 1]) & 0xC0) == 0x80) {
        --at;
        ++following;
    }
    if (at == 0)
        return true;  // a lead byte further back takes at most these three
    const uchar lead = uchar(mTail[at - 1]);
    const int wanted = (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : 0;
    return following >= wanted;
}

QString asciiTrimmed(const QString& text)
{
    auto blank = [](QChar c) { return c == u' ' || (c.unicode() >= 0x09 && c.unicode() <= 0x0D); };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

DataText::DataText(const QString& path, bool utf8, bool watchUtf8)
    : mPath(path), mFile(openDataFile(path)), mUtf8(utf8)
{
    if (watchUtf8)
        mWatch.emplace();
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

bool DataText::restIsUtf8()
{
    while (!mEnded)
        readChunk();
    return mWatch && mWatch->passed();
}

// The next bytes of the file, none at its end; the watch sees each of them.
QByteArray DataText::readChunk()
{
    QByteArray bytes(ChunkBytes, Qt::Uninitialized);
    qsizetype filled = 0;
    // The first chunk is whole, or the file is: a byte order mark is
    // looked for in it.
    while (!mEnded && (filled == 0 || (!mStarted && filled < 3))) {
        const ssize_t got = ::read(mFile->fd(), bytes.data() + filled, std::size_t(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw MergeError("A(z) „" + shownName(mPath) + "” adatfájl nem olvasható: " + systemReason(errno) + ".");
        mEnded = got == 0;
        filled += got;
    }
    bytes.resize(filled);
    if (mWatch)
        mWatch->add(bytes);
    if (!mStarted) {
        mStarted = true;
        if (bytes.startsWith("\xEF\xBB\xBF"))
            bytes.remove(0, 3);
    }
    return bytes;
}

bool DataText::refill()
{
    mBuffer.clear();
    mPos = 0;
    while (mBuffer.isEmpty() && !mEnded) {
        const QByteArray chunk = readChunk();
        mBuffer = mUtf8 ? QString(mDecoder.decode(chunk)) : fromWin1250(chunk.toStdString());
    }
    return !mBuffer.isEmpty();
}
