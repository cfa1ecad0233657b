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

LineReader::LineReader(int fd)
    : mFd(fd)
{
}

bool LineReader::fill()
{
    if (mEndOfFile)
        return false;
    ssize_t got;
    do {
        got = ::read(mFd, mBlock, BlockSize);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        throw TableError("Stream read error");
    mPos = 0;
    mLength = static_cast<std::size_t>(got);
    mEndOfFile = got == 0;
    return got > 0;
}

bool LineReader::next(std::string& line)
{
    line.clear();
    if (mSkipLineEnds) {
        for (;;) {
            while (mPos < mLength && isLineEnd(mBlock[mPos]))
                ++mPos;
            if (mPos < mLength || !fill())
                break;
        }
        mSkipLineEnds = false;
    }
    for (;;) {
        if (mPos == mLength && !fill())
            break;
        const char* begin = mBlock + mPos;
        const char* end = findLineEnd(begin, mBlock + mLength);
        line.append(begin, end);
        mPos = end - mBlock;
        if (mPos < mLength) {
            mSkipLineEnds = true;
            break;
        }
    }
    return !line.empty();
}
