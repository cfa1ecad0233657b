#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Reads a card file line by line in blocks of 8192 bytes. A line ends at any
// run of CR, LF and NUL bytes, so CR LF, LF-only and CR-only files read alike
// and blank lines vanish; a line may span any number of blocks.
//
// Blocks are read straight into one buffer that holds the current line. It
// starts at the file's size (up to a cap), so a picture's line of many
// megabytes is neither copied nor reallocated; what the file's size cannot
// tell (a sparse file of a terabyte) grows only as lines do.
class LineReader
{
public:
    static constexpr std::size_t BlockSize = 8192;

    LineReader(int fd, std::uint64_t expectedSize);

    // Moves to the next line; false when the file has no more lines. The
    // line's bytes may be changed in place until the next call.
    bool next();
    char* data() { return mBuffer.get() + mStart; }
    std::size_t size() const { return mEnd - mStart; }

private:
    bool readBlock();
    bool skipHole();
    void reserve(std::size_t bytes);

    int mFd;
    std::unique_ptr<char[]> mBuffer;
    std::size_t mCapacity = 0;
    std::size_t mFill = 0;   // bytes read into the buffer
    std::size_t mStart = 0;  // the current line
    std::size_t mEnd = 0;
    bool mEndOfFile = false;
    bool mSparse = false;  // holes are passed over without reading them
};
