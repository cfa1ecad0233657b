#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

// Writes a file so that nothing the user had is lost, whatever happens.
//
// The target is the real file the system would open under the path (links
// followed, ".." taken as the system takes it). A file may be written only
// where writing it in place would be allowed; a FIFO, device or other file
// that is not regular is never replaced.
//
// Normally the new contents go to a temporary file beside the target, which
// takes the target's owner, group, mode and extended attributes (ACLs
// included) and replaces it once complete and on disk. Where that cannot be
// done (a hard-linked file, an owner or attribute that cannot be given, a
// folder where no file can be made), the target is written in place after a
// copy of its old contents has been kept, beside it or in the temporary
// folder; the copy restores it when the write fails and is removed after
// success. Either way the folder is flushed, so a save reported as done
// survives a power cut.
//
// Failures throw TableError: "Cannot create file "%s". %s" before anything
// is written, "Stream write error" while writing.
class SafeWrite
{
public:
    explicit SafeWrite(const std::string& path);
    ~SafeWrite();  // without commit(), the target stays as it was
    SafeWrite(const SafeWrite&) = delete;
    SafeWrite& operator=(const SafeWrite&) = delete;

    void write(const char* data, std::size_t size);
    // Starts the disk writes of what was written so far.
    void startWriteback();
    // Ends the writing ahead of commit(): the contents are on disk and the
    // new file is closed, so that many files can wait for their commit
    // without holding descriptors (one written in place keeps its own).
    void seal();
    void commit();

    // The file being written, and whether that is the target itself.
    const std::string& target() const { return mTarget; }
    bool inPlace() const { return mInPlace; }

private:
    void open(const std::string& path);
    [[noreturn]] void failCreate(int error) const;
    [[noreturn]] void failCreate(const std::string& reason) const;
    bool prepareReplacement(const struct stat& old);
    void prepareInPlace();
    void restore() noexcept;
    void release() noexcept;

    std::string mShown;   // the path as the user gave it, for messages
    std::string mTarget;  // the real file
    std::string mFolder;
    std::string mTemp;    // the replacement, or the copy of the old contents
    int mFd = -1;         // where the new contents go
    int mTargetFd = -1;   // the target itself
    int mBackupFd = -1;   // the copy of the old contents, while written in place
    bool mInPlace = false;
    bool mSealed = false;
    bool mCommitted = false;
    std::uint64_t mWritten = 0;
    std::uint64_t mQueued = 0;
};
