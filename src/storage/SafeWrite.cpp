#include "storage/SafeWrite.h"

#include "storage/FileAccess.h"
#include "storage/TableError.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int MaxLinkHops = 40;
constexpr std::uint64_t WritebackStep = 1024 * 1024;

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string joined(const std::string& folder, const std::string& name)
{
    return (folder == "/" ? std::string() : folder) + "/" + name;
}

// A new file in folder and its name; -1 when none can be made there. The
// name never depends on the target's, so it always fits.
int makeTemp(const std::string& folder, std::string& name)
{
    name = joined(folder, ".lapora-XXXXXX");
    return ::mkostemp(name.data(), O_CLOEXEC);
}

bool writeAll(int fd, const char* p, std::size_t left)
{
    while (left > 0) {
        const ssize_t written = ::write(fd, p, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        p += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

// Copies from's contents over to's, from their starts, and flushes them.
bool copyContents(int from, int to)
{
    if (::lseek(from, 0, SEEK_SET) != 0 || ::ftruncate(to, 0) != 0 || ::lseek(to, 0, SEEK_SET) != 0)
        return false;
    std::vector<char> block(1 << 16);
    for (;;) {
        const ssize_t got = ::read(from, block.data(), block.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return ::fdatasync(to) == 0;
        if (!writeAll(to, block.data(), static_cast<std::size_t>(got)))
            return false;
    }
}

// Every extended attribute of from, ACLs included, given to to.
bool copyAttributes(int from, int to)
{
    ssize_t length = ::flistxattr(from, nullptr, 0);
    if (length < 0)
        return errno == ENOTSUP;
    std::vector<char> names(static_cast<std::size_t>(length) + 1, '\0');
    length = ::flistxattr(from, names.data(), names.size() - 1);
    if (length < 0)
        return false;
    for (const char* name = names.data(); name < names.data() + length; name += std::strlen(name) + 1) {
        const ssize_t size = ::fgetxattr(from, name, nullptr, 0);
        if (size < 0)
            return false;
        std::vector<char> value(static_cast<std::size_t>(size));
        const ssize_t got = ::fgetxattr(from, name, value.data(), value.size());
        if (got < 0 || ::fsetxattr(to, name, value.data(), static_cast<std::size_t>(got), 0) != 0)
            return false;
    }
    return true;
}

// Some file systems cannot flush a folder; they keep what the system does
// for them. A real failure to flush fails the save.
bool flushFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return true;
    const bool flushed = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
    ::close(fd);
    return flushed;
}

} // namespace

SafeWrite::SafeWrite(const std::string& path)
    : mShown(absolutePath(path))
{
    try {
        open(path);
    } catch (...) {
        release();
        throw;
    }
}

SafeWrite::~SafeWrite()
{
    release();
}

void SafeWrite::open(const std::string&)
{
    // The real file: links are followed one by one, so that one pointing to
    // a file still to be made names that file.
    std::string real = mShown;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(real.c_str(), &st) != 0) {
            if (errno != ENOENT)
                failCreate(errno);
            break;
        }
        if (!S_ISLNK(st.st_mode))
            break;
        if (hops == MaxLinkHops)
            failCreate(ELOOP);
        std::vector<char> link(PATH_MAX + 1);
        const ssize_t length = ::readlink(real.c_str(), link.data(), PATH_MAX);
        if (length < 0)
            failCreate(errno);
        const std::string pointed(link.data(), static_cast<std::size_t>(length));
        real = pointed.starts_with('/') ? pointed : joined(folderOf(real), pointed);
    }
    const std::string name = nameOf(real);
    if (name.empty() || name == "." || name == "..")
        failCreate(EISDIR);
    // The folder as the system finds it: ".." after a link to a folder
    // leads out of where the link points, not back beside the link.
    char* folder = ::realpath(folderOf(real).c_str(), nullptr);
    if (!folder)
        failCreate(errno);
    mFolder = folder;
    std::free(folder);
    mTarget = joined(mFolder, name);
    mShown = mTarget;

    struct stat old {};
    if (::stat(mTarget.c_str(), &old) != 0) {
        if (errno != ENOENT)
            failCreate(errno);
        mFd = makeTemp(mFolder, mTemp);
        if (mFd < 0)
            failCreate(errno);
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(mFd, 0666 & ~mask);
        return;
    }
    if (S_ISDIR(old.st_mode))
        failCreate(EISDIR);
    if (!S_ISREG(old.st_mode))
        failCreate(std::string("Not a regular file"));
    // Allowed only where writing the file itself would be.
    mTargetFd = ::open(mTarget.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
    if (mTargetFd < 0)
        failCreate(errno);
    if (!prepareReplacement(old))
        prepareInPlace();
}

void SafeWrite::failCreate(int error) const
{
    failCreate(systemReason(error));
}

void SafeWrite::failCreate(const std::string& reason) const
{
    throw TableError("Cannot create file \"" + mShown + "\". " + reason);
}

// A file beside the target that takes all of it but the contents; false
// when that cannot be had.
bool SafeWrite::prepareReplacement(const struct stat& old)
{
    if (old.st_nlink > 1)
        return false;
    // In a sticky folder only the file's or the folder's owner may replace
    // the file; anyone allowed to may still write into it.
    struct stat folder {};
    if (::stat(mFolder.c_str(), &folder) == 0 && (folder.st_mode & S_ISVTX) && ::geteuid() != 0
        && old.st_uid != ::geteuid() && folder.st_uid != ::geteuid())
        return false;
    std::string name;
    const int fd = makeTemp(mFolder, name);
    if (fd < 0)
        return false;
    const bool owned = (old.st_uid == ::geteuid() && old.st_gid == ::getegid())
        || ::fchown(fd, old.st_uid, old.st_gid) == 0;
    // The mode after the owner: giving an owner clears the set-id bits.
    if (!owned || ::fchmod(fd, old.st_mode & 07777) != 0 || !copyAttributes(mTargetFd, fd)) {
        ::close(fd);
        ::unlink(name.c_str());
        return false;
    }
    mFd = fd;
    mTemp = std::move(name);
    return true;
}

// The old contents are copied aside, beside the target or else in the
// temporary folder, before the target is emptied.
void SafeWrite::prepareInPlace()
{
    const int current = ::open(mTarget.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
    if (current < 0)
        failCreate(errno);
    mBackupFd = makeTemp(mFolder, mTemp);
    if (mBackupFd < 0) {
        const char* tmp = std::getenv("TMPDIR");
        mBackupFd = makeTemp(tmp && *tmp ? tmp : "/tmp", mTemp);
    }
    if (mBackupFd < 0) {
        const int error = errno;
        ::close(current);
        failCreate(error);
    }
    const bool kept = copyContents(current, mBackupFd);
    ::close(current);
    if (!kept)
        throw TableError("Stream write error");
    mInPlace = true;
    mFd = mTargetFd;
    if (::ftruncate(mTargetFd, 0) != 0 || ::lseek(mTargetFd, 0, SEEK_SET) != 0)
        throw TableError("Stream write error");
}

void SafeWrite::write(const char* data, std::size_t size)
{
    if (!writeAll(mFd, data, size))
        throw TableError("Stream write error");
    mWritten += size;
}

void SafeWrite::startWriteback()
{
    if (mWritten - mQueued < WritebackStep)
        return;
    ::sync_file_range(mFd, static_cast<off_t>(mQueued), static_cast<off_t>(mWritten - mQueued),
                      SYNC_FILE_RANGE_WRITE);
    mQueued = mWritten;
}

void SafeWrite::seal()
{
    if (mSealed)
        return;
    if (::fdatasync(mFd) != 0)
        throw TableError("Stream write error");
    if (!mInPlace) {
        const int fd = mFd;
        mFd = -1;
        if (::close(fd) != 0)
            throw TableError("Stream write error");
        if (mTargetFd >= 0)
            ::close(mTargetFd);
        mTargetFd = -1;
    }
    mSealed = true;
}

void SafeWrite::commit()
{
    seal();
    if (!mInPlace && ::rename(mTemp.c_str(), mTarget.c_str()) != 0)
        failCreate(errno);
    mCommitted = true;
    if (mInPlace) {
        ::unlink(mTemp.c_str());
        flushFolder(folderOf(mTemp));
    }
    if (!flushFolder(mFolder))
        throw TableError("Stream write error");
}

// The old contents go back; the copy stays where it is if even that fails.
void SafeWrite::restore() noexcept
{
    if (mBackupFd >= 0 && copyContents(mBackupFd, mTargetFd))
        ::unlink(mTemp.c_str());
}

void SafeWrite::release() noexcept
{
    if (!mCommitted) {
        if (mInPlace)
            restore();
        else if (!mTemp.empty() && mBackupFd < 0)
            ::unlink(mTemp.c_str());
        else if (mBackupFd >= 0)
            ::unlink(mTemp.c_str());  // the target was not touched yet
    }
    for (int* fd : {&mFd, &mTargetFd, &mBackupFd}) {
        if (*fd >= 0 && (fd == &mFd || *fd != mFd))
            ::close(*fd);
    }
    mFd = mTargetFd = mBackupFd = -1;
}
