#include "storage/LineReader.h"

#include "storage/TableError.h"

#include <cerrno>
#include <cstring>
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

LineReader::LineReader(int fd, std::size_t expectedSize)
    : mFd(fd)
{
    reserve(expectedSize + BlockSize);
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
        if (mStart < mFill || !readBlock())
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
