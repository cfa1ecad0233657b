#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// Why a file could not be used, in the system's words ("Permission denied")
// or ours ("Not a regular file"); callers put it into their own message.
class FileError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The reason for an errno value, as the system words it.
std::string systemReason(int error);

// An existing regular file opened for reading. The open never blocks, so a
// FIFO, a terminal or a device is refused instead of hanging the program,
// and so is anything else that is not a regular file.
class ReadableFile
{
public:
    explicit ReadableFile(const std::string& path);  // throws FileError
    ~ReadableFile();
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;

    int fd() const { return mFd; }
    std::uint64_t size() const { return mSize; }

private:
    int mFd = -1;
    std::uint64_t mSize = 0;
};

// The whole of a regular file, refused with FileError when it is larger than
// limit bytes.
std::string readWholeFile(const std::string& path, std::uint64_t limit);

// The path made absolute against the current folder, for messages; its
// symbolic links and ".." are left as written.
std::string absolutePath(const std::string& path);

// Whether two paths name one file: the same device and inode once links are
// followed, or, for a file not there yet, the same place once the folders
// on the way are resolved.
bool sameFile(const std::string& first, const std::string& second);
