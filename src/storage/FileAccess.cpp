#include "storage/FileAccess.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string systemReason(int error)
{
    return std::strerror(error);
}

ReadableFile::ReadableFile(const std::string& path)
{
    mFd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (mFd < 0)
        throw FileError(systemReason(errno));
    struct stat st {};
    if (::fstat(mFd, &st) != 0) {
        const int error = errno;
        ::close(mFd);
        throw FileError(systemReason(error));
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(mFd);
        throw FileError(systemReason(EISDIR));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(mFd);
        throw FileError("Not a regular file");
    }
    // Regular files never block; reads go on as usual.
    ::fcntl(mFd, F_SETFL, ::fcntl(mFd, F_GETFL) & ~O_NONBLOCK);
    mSize = static_cast<std::uint64_t>(st.st_size);
}

ReadableFile::~ReadableFile()
{
    if (mFd >= 0)
        ::close(mFd);
}

std::string readWholeFile(const std::string& path, std::uint64_t limit)
{
    ReadableFile file(path);
    if (file.size() > limit)
        throw FileError("File too large");
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(file.size()));
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            // The file may have grown since it was measured.
            if (bytes.size() >= limit + 1)
                throw FileError("File too large");
            bytes.resize(std::min<std::uint64_t>(limit + 1, bytes.size() + 65536));
        }
        const ssize_t got = ::read(file.fd(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw FileError(systemReason(errno));
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    if (filled > limit)
        throw FileError("File too large");
    return bytes;
}

std::string absolutePath(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

bool sameFile(const std::string& first, const std::string& second)
{
    struct stat a {};
    struct stat b {};
    const bool hasFirst = ::stat(first.c_str(), &a) == 0;
    const bool hasSecond = ::stat(second.c_str(), &b) == 0;
    if (hasFirst && hasSecond)
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    const auto place = [](const std::string& path) {
        std::error_code failed;
        std::filesystem::path resolved = std::filesystem::weakly_canonical(std::filesystem::absolute(path), failed);
        return failed ? std::filesystem::absolute(path).lexically_normal() : resolved;
    };
    return place(first) == place(second);
}
