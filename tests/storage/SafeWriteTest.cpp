// Saving a card where the user might lose something: other people's files,
// shared groups, links, odd folders and names.
#include "storage/LayerTable.h"
#include "storage/TableError.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string WorkedExample = std::string(TEST_DATA_DIR) + "/worked-example.bcrd";
constexpr uid_t Nobody = 65534;
constexpr gid_t NoGroup = 65534;
constexpr gid_t Users = 100;

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The message a save fails with; empty when it worked.
std::string saveFailure(const fs::path& path)
{
    LayerTable table("Tbl");
    table.LoadFile(WorkedExample);
    try {
        table.SaveFile(path);
    } catch (const TableError& error) {
        return error.what();
    }
    return {};
}

// Runs body as another user in a child process and gives back what it
// returned.
std::string as(uid_t uid, gid_t gid, std::vector<gid_t> groups, const std::function<std::string()>& body)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        std::string result;
        if (::setgroups(groups.size(), groups.data()) != 0 || ::setresgid(gid, gid, gid) != 0
            || ::setresuid(uid, uid, uid) != 0)
            result = "cannot change user";
        else
            result = body();
        ::write(pipeFds[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string result;
    char buffer[512];
    ssize_t got;
    while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
        result.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeFds[0]);
    ::waitpid(child, nullptr, 0);
    return result;
}

struct stat statOf(const fs::path& path)
{
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

class SafeSave : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("safesave-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        ::chmod(dir.c_str(), 0755);
        newCard = readBytes(WorkedExample);
    }
    void TearDown() override { fs::remove_all(dir); }

    void requireRoot()
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "needs root to act as other users";
    }

    std::size_t entries(const fs::path& folder) const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    fs::path dir;
    std::string newCard;
};

} // namespace

// Where writing the card in place would be refused, so is the save, with
// the system's reason, and nothing changes.
TEST_F(SafeSave, CardsTheUserMayNotWriteAreNotReplaced)
{
    requireRoot();
    fs::path own = dir / "own";
    fs::create_directory(own);
    ::chown(own.c_str(), Nobody, NoGroup);

    const fs::path readOnly = own / "readonly.bcrd";
    writeBytes(readOnly, "old");
    ::chown(readOnly.c_str(), Nobody, NoGroup);
    ::chmod(readOnly.c_str(), 0444);
    const fs::path foreign = own / "foreign.bcrd";
    writeBytes(foreign, "root's");
    ::chmod(foreign.c_str(), 0644);

    for (const fs::path& card : {readOnly, foreign}) {
        EXPECT_EQ(as(Nobody, NoGroup, {}, [&] { return saveFailure(card); }),
                  "Cannot create file \"" + card.string() + "\". Permission denied");
    }
    EXPECT_EQ(readBytes(readOnly), "old");
    EXPECT_EQ(readBytes(foreign), "root's");
    EXPECT_EQ(statOf(foreign).st_uid, 0u);
    EXPECT_EQ(entries(own), 2u);
}

// The new card keeps what the old one had besides its contents.
TEST_F(SafeSave, ReplacementKeepsOwnerGroupModeAndAttributes)
{
    requireRoot();
    const fs::path card = dir / "card.bcrd";
    writeBytes(card, "old");
    ::chown(card.c_str(), 1234, Users);
    ::chmod(card.c_str(), 0640);
    const bool attributes = ::setxattr(card.c_str(), "user.lapora", "kept", 4, 0) == 0;
    // An access list giving user 4321 read access: owner, named user, group,
    // mask, others.
    const std::uint32_t acl[] = {2,           0x00060001u, 0xFFFFFFFFu, 0x00040002u, 4321,
                                 0x00040004u, 0xFFFFFFFFu, 0x00040010u, 0xFFFFFFFFu, 0x00000020u,
                                 0xFFFFFFFFu};
    const bool accessList = ::setxattr(card.c_str(), "system.posix_acl_access", acl, sizeof acl, 0) == 0;

    EXPECT_EQ(saveFailure(card), "");
    EXPECT_EQ(readBytes(card), newCard);
    const struct stat st = statOf(card);
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, Users);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (attributes) {
        char value[16] = {};
        EXPECT_EQ(::getxattr(card.c_str(), "user.lapora", value, sizeof value), 4);
        EXPECT_STREQ(value, "kept");
    }
    if (accessList) {
        std::uint32_t back[16] = {};
        EXPECT_EQ(::getxattr(card.c_str(), "system.posix_acl_access", back, sizeof back), ssize_t(sizeof acl));
        EXPECT_EQ(back[4], 4321u);
    }
    EXPECT_EQ(entries(dir), 1u);
}

// A group member's save keeps the group, so the others keep their access.
TEST_F(SafeSave, GroupSharedCardKeepsItsGroup)
{
    requireRoot();
    ::chown(dir.c_str(), Nobody, Users);
    ::chmod(dir.c_str(), 0775);
    const fs::path card = dir / "shared.bcrd";
    writeBytes(card, "old");
    ::chown(card.c_str(), Nobody, Users);
    ::chmod(card.c_str(), 0660);

    EXPECT_EQ(as(Nobody, NoGroup, {Users}, [&] { return saveFailure(card); }), "");
    EXPECT_EQ(readBytes(card), newCard);
    EXPECT_EQ(statOf(card).st_gid, Users);
    EXPECT_EQ(statOf(card).st_mode & 07777, 0660u);
}

// Where the new file could not take the old one's owner, or no file can be
// made beside it, the card is written in place; the copy of the old
// contents is gone afterwards.
TEST_F(SafeSave, CardsThatCannotBeReplacedAreWrittenInPlace)
{
    requireRoot();
    const fs::path open = dir / "open";
    const fs::path closed = dir / "closed";
    const fs::path scratch = dir / "scratch";
    for (const fs::path& folder : {open, closed, scratch})
        fs::create_directory(folder);
    ::chown(open.c_str(), Nobody, NoGroup);
    ::chmod(closed.c_str(), 0755);
    ::chmod(scratch.c_str(), 0777);

    const fs::path othersCard = open / "root.bcrd";  // writable, but root's
    writeBytes(othersCard, "old");
    ::chmod(othersCard.c_str(), 0666);
    const fs::path inClosed = closed / "mine.bcrd";  // mine, in a folder I cannot write
    writeBytes(inClosed, "old");
    ::chown(inClosed.c_str(), Nobody, NoGroup);
    const ino_t inodes[] = {statOf(othersCard).st_ino, statOf(inClosed).st_ino};

    ::setenv("TMPDIR", scratch.c_str(), 1);
    for (const fs::path& card : {othersCard, inClosed})
        EXPECT_EQ(as(Nobody, NoGroup, {}, [&] { return saveFailure(card); }), "") << card;
    ::unsetenv("TMPDIR");

    EXPECT_EQ(readBytes(othersCard), newCard);
    EXPECT_EQ(readBytes(inClosed), newCard);
    EXPECT_EQ(statOf(othersCard).st_uid, 0u);
    EXPECT_EQ(statOf(othersCard).st_ino, inodes[0]);
    EXPECT_EQ(statOf(inClosed).st_ino, inodes[1]);
    EXPECT_EQ(entries(open), 1u);
    EXPECT_EQ(entries(closed), 1u);
    EXPECT_EQ(entries(scratch), 0u);
}

// A hard-linked card stays one file under both names; a write that fails
// part-way gives back the old contents.
TEST_F(SafeSave, HardLinkedCardStaysOneFileAndAFailedWriteRestoresIt)
{
    const fs::path card = dir / "card.bcrd";
    const fs::path link = dir / "link.bcrd";
    writeBytes(card, "old");
    fs::create_hard_link(card, link);

    EXPECT_EQ(saveFailure(card), "");
    EXPECT_EQ(readBytes(link), newCard);
    EXPECT_EQ(statOf(link).st_ino, statOf(card).st_ino);

    writeBytes(card, "the user's card");
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1000;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const std::string failure = saveFailure(card);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(failure, "Stream write error");
    EXPECT_EQ(readBytes(link), "the user's card");
    EXPECT_EQ(entries(dir), 2u);
}

// The card written is the one the system would open under the path, never
// the one its text seems to name.
TEST_F(SafeSave, PathsAreTakenAsTheSystemTakesThem)
{
    fs::create_directories(dir / "real" / "sub");
    fs::create_directory_symlink("real/sub", dir / "link");
    writeBytes(dir / "card.bcrd", "beside the link");
    writeBytes(dir / "real" / "card.bcrd", "the real one");
    EXPECT_EQ(saveFailure(dir / "link" / ".." / "card.bcrd"), "");
    EXPECT_EQ(readBytes(dir / "real" / "card.bcrd"), newCard);
    EXPECT_EQ(readBytes(dir / "card.bcrd"), "beside the link");

    // A link to a card still to be made makes it, and stays a link.
    fs::create_symlink("made.bcrd", dir / "pointer.bcrd");
    EXPECT_EQ(saveFailure(dir / "pointer.bcrd"), "");
    EXPECT_EQ(readBytes(dir / "made.bcrd"), newCard);
    EXPECT_TRUE(fs::is_symlink(dir / "pointer.bcrd"));

    // A name as long as the file system allows still saves.
    const fs::path longName = dir / (std::string(250, 'n') + ".bcrd");
    EXPECT_EQ(saveFailure(longName), "");
    EXPECT_EQ(readBytes(longName), newCard);

    // A loop names itself in the message and leaves nothing anywhere.
    fs::create_symlink("loop.bcrd", dir / "loop.bcrd");
    const fs::path here = fs::current_path();
    fs::current_path(dir / "real" / "sub");
    EXPECT_EQ(saveFailure("../../loop.bcrd"),
              "Cannot create file \"" + (dir / "real" / "sub" / "../../loop.bcrd").string()
                  + "\". Too many levels of symbolic links");
    EXPECT_EQ(entries(dir / "real" / "sub"), 0u);
    fs::current_path(here);
}

// A FIFO or a device is never replaced by a card.
TEST_F(SafeSave, OnlyRegularFilesAreReplaced)
{
    const fs::path fifo = dir / "fifo.bcrd";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(saveFailure(fifo), "Cannot create file \"" + fifo.string() + "\". Not a regular file");
    EXPECT_TRUE(S_ISFIFO(statOf(fifo).st_mode));
    EXPECT_EQ(saveFailure("/dev/null"), "Cannot create file \"/dev/null\". Not a regular file");
    EXPECT_EQ(saveFailure(dir), "Cannot create file \"" + dir.string() + "\". Is a directory");
    EXPECT_EQ(entries(dir), 1u);
}
