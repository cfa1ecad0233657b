#pragma once

#include <cstddef>
#include <string>

// Reads a card file line by line in blocks of 8192 bytes. A line ends at any
// run of CR, LF and NUL bytes, so CR LF, LF-only and CR-only files read alike
// and blank lines vanish; a line may span any number of blocks.
class LineReader
{
public:
    static constexpr std::size_t BlockSize = 8192;

    explicit LineReader(int fd);

    // The next line, without its line end. False when the file has no more
    // lines; line then holds nothing. The string keeps its capacity, so a
    // caller that reserves it once never reallocates.
    bool next(std::string& line);

private:
    bool fill();

    int mFd;
    char mBlock[BlockSize];
    std::size_t mPos = 0;
    std::size_t mLength = 0;
    bool mEndOfFile = false;
    // Leading line ends are skipped like any other run of them.
    bool mSkipLineEnds = true;
};
