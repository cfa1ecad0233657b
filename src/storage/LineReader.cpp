#include "storage/LineReader.h"

#include "storage/TableError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r' || c == '\0';
}

// The first CR, LF or NUL in [begin, end), or end. memchr is far faster than
// a byte loop on the long lines that carry pictures.
const char* findLineEnd(const char* begin, const char* end)
{
    for (char c : {'\n', '\r', '\0'}) {
        if (auto* hit = static_cast<const char*>(std::memchr(begin, c, end - begin)))
            end = hit;
    }
    return end;
}

} // namespace

namespace {

constexpr std::uint64_t MaxFirstReserve = 64u << 20;

} // namespace

LineReader::LineReader(int fd, std::uint64_t expectedSize)
    : mFd(fd)
{
    struct stat st {};
    mSparse = ::fstat(fd, &st) == 0 && static_cast<std::uint64_t>(st.st_blocks) * 512 < expectedSize;
    reserve(static_cast<std::size_t>(std::min(expectedSize, MaxFirstReserve)) + BlockSize);
}

void LineReader::reserve(std::size_t bytes)
{
    if (bytes <= mCapacity)
        return;
    std::unique_ptr<char[]> bigger(new char[bytes]);
    if (mFill > 0)
        std::memcpy(bigger.get(), mBuffer.get(), mFill);
    mBuffer = std::move(bigger);
    mCapacity = bytes;
}

bool LineReader::readBlock()
{
    if (mEndOfFile)
        return false;
    // Only a file that grew since it was opened needs more room.
    if (mCapacity - mFill < BlockSize)
        reserve(2 * mCapacity);
    // A hole in a sparse file reads as NUL bytes, which end a line and are
    // skipped, so one NUL stands for the whole hole: a file of a terabyte
    // with a card at its start reads as fast as the card.
    if (mSparse && skipHole()) {
        mBuffer[mFill++] = '\0';
        return true;
    }
    ssize_t got;
    do {
        got = ::read(mFd, mBuffer.get() + mFill, BlockSize);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        throw TableError("Stream read error");
    mFill += static_cast<std::size_t>(got);
    mEndOfFile = got == 0;
    return got > 0;
}

// True when the file continues with a hole here; the file then stands
// after it.
bool LineReader::skipHole()
{
    const off_t at = ::lseek(mFd, 0, SEEK_CUR);
    if (at < 0)
        return false;
    const off_t data = ::lseek(mFd, at, SEEK_DATA);
    if (data > at)
        return true;
    if (data < 0 && errno == ENXIO)
        return ::lseek(mFd, 0, SEEK_END) > at;
    if (data < 0)
        ::lseek(mFd, at, SEEK_SET);
    return false;
}

bool LineReader::next()
{
    // What follows the finished line (at most a block) moves to the front, so
    // the buffer never holds more than the longest line and one block.
    std::size_t from = mEnd;
    std::memmove(mBuffer.get(), mBuffer.get() + from, mFill - from);
    mFill -= from;
    mStart = mEnd = 0;

    for (;;) {
        while (mStart < mFill && isLineEnd(mBuffer[mStart]))
            ++mStart;
        if (mStart < mFill)
            break;
        // A run of line ends is dropped as it is read, however long it is.
        mStart = mFill = 0;
        if (!readBlock())
            break;
    }
    std::size_t scanned = mStart;
    for (;;) {
        const char* end = findLineEnd(mBuffer.get() + scanned, mBuffer.get() + mFill);
        scanned = static_cast<std::size_t>(end - mBuffer.get());
        if (scanned < mFill || !readBlock())
            break;
    }
    mEnd = scanned;
    return mEnd > mStart;
}
