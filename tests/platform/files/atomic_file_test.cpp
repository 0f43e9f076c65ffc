#include "platform/files/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/files/save_refusal.h"
#include "tests/support/other_users.h"
#include "tests/support/test_files.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using test_support::ReadBytes;
using test_support::TempDir;
using test_support::WriteBytes;

const std::vector<std::uint8_t> kNew = {1, 2, 3};
const std::vector<std::uint8_t> kOld = {9, 9, 9, 9, 9};

TEST(WriteFileAtomically, ReplacesAFileAndLeavesNoTemporaryBehind) {
    TempDir dir;
    WriteBytes(dir.File("out.ico"), kOld);
    ASSERT_FALSE(WriteFileAtomically(dir.File("out.ico"), kNew));
    EXPECT_EQ(ReadBytes(dir.File("out.ico")), kNew);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(WriteFileAtomically, CreatesANewFile) {
    TempDir dir;
    ASSERT_FALSE(WriteFileAtomically(dir.File("new.ico"), kNew));
    EXPECT_EQ(ReadBytes(dir.File("new.ico")), kNew);
}

TEST(WriteFileAtomically, KeepsThePermissionsOfAnExistingFile) {
    TempDir dir;
    WriteBytes(dir.File("out.bmp"), kOld);
    ::chmod(dir.File("out.bmp").c_str(), 0640);
    ASSERT_FALSE(WriteFileAtomically(dir.File("out.bmp"), kNew));
    struct stat info {};
    ::stat(dir.File("out.bmp").c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(WriteFileAtomically, WritesThroughASymbolicLink) {
    TempDir dir;
    WriteBytes(dir.File("real.ico"), kOld);
    fs::create_symlink("real.ico", dir.Path() / "link.ico");
    ASSERT_FALSE(WriteFileAtomically(dir.File("link.ico"), kNew));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.ico"));
    EXPECT_EQ(ReadBytes(dir.File("real.ico")), kNew);
}

TEST(WriteFileAtomically, SavesUnderTheLongestNameAFolderTakes) {
    TempDir dir;
    const std::string name = std::string(251, 'n') + ".ICO";
    ASSERT_FALSE(WriteFileAtomically(dir.File(name), kOld));
    ASSERT_FALSE(WriteFileAtomically(dir.File(name), kNew));
    EXPECT_EQ(ReadBytes(dir.File(name)), kNew);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(WriteFileAtomically, FailureLeavesTheOldFileAsItWas) {
    // Root writes into read-only folders, so use failures that hold for anyone.
    TempDir dir;
    WriteBytes(dir.File("notafolder"), kOld);
    EXPECT_TRUE(WriteFileAtomically(dir.File("notafolder/out.ico"), kNew));
    EXPECT_TRUE(WriteFileAtomically(dir.File("missing/out.ico"), kNew));
    EXPECT_TRUE(WriteFileAtomically(dir.Path().string(), kNew)) << "a folder is not replaced";
    EXPECT_EQ(ReadBytes(dir.File("notafolder")), kOld);
}

// What an ordinary user may replace, and what becomes of the owner, group and mode.
class WriteFileAtomicallyAsAUser : public ::testing::Test {
  protected:
    WriteFileAtomicallyAsAUser() { fs::permissions(dir.Path(), fs::perms::all); }

    std::string Existing(const std::string& name, uid_t uid, gid_t gid, mode_t mode) {
        const std::string path = dir.File(name);
        WriteBytes(path, kOld);
        EXPECT_EQ(::chown(path.c_str(), uid, gid), 0);
        EXPECT_EQ(::chmod(path.c_str(), mode), 0);
        return path;
    }
    static struct stat Stat(const std::string& path) {
        struct stat info {};
        EXPECT_EQ(::stat(path.c_str(), &info), 0);
        return info;
    }
    static int SaveAsNobody(const std::string& path) {
        return test_support::RunAsNobody([&] { return WriteFileAtomically(path, kNew).value(); });
    }
    std::size_t Entries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()));
    }

    const test_support::Nobody nobody = test_support::FindNobody();
    TempDir dir;
};

TEST_F(WriteFileAtomicallyAsAUser, RefusesAFileTheUserMayNotWriteAndLeavesItAsItWas) {
    RUN_AS_ROOT();
    const std::string own = Existing("own-read-only.ico", nobody.uid, nobody.gid, 0444);
    const std::string roots = Existing("roots.ico", 0, 0, 0644);
    for (const std::string& path : {own, roots}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(SaveAsNobody(path), EACCES);
        EXPECT_EQ(ReadBytes(path), kOld);
    }
    EXPECT_EQ(Stat(roots).st_uid, 0u);
    EXPECT_EQ(Entries(), 2u);
}

TEST_F(WriteFileAtomicallyAsAUser, RefusesToTurnAnotherUsersFileIntoTheirs) {
    RUN_AS_ROOT();
    const std::string path = Existing("shared.bmp", 0, 0, 0666);
    EXPECT_EQ(SaveAsNobody(path), EPERM);
    EXPECT_EQ(ReadBytes(path), kOld);
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(WriteFileAtomicallyAsAUser, RootKeepsTheOwnerGroupAndSetgidBitOfAnotherUsersFile) {
    RUN_AS_ROOT();
    const std::string path = Existing("theirs.ico", nobody.uid, nobody.gid, 02751);
    ASSERT_FALSE(WriteFileAtomically(path, kNew));
    EXPECT_EQ(ReadBytes(path), kNew);
    const struct stat info = Stat(path);
    EXPECT_EQ(info.st_uid, nobody.uid);
    EXPECT_EQ(info.st_gid, nobody.gid);
    EXPECT_EQ(info.st_mode & 07777, 02751u);
}

TEST_F(WriteFileAtomicallyAsAUser, AUserSavesTheirOwnFileInAGroupTheyAreNotIn) {
    RUN_AS_ROOT();
    const std::string path = Existing("mine.ico", nobody.uid, 0, 0664);
    EXPECT_EQ(SaveAsNobody(path), 0);
    EXPECT_EQ(ReadBytes(path), kNew);
    const struct stat info = Stat(path);
    EXPECT_EQ(info.st_uid, nobody.uid);
    EXPECT_EQ(info.st_gid, nobody.gid) << "the group falls back to the user's own";
    EXPECT_EQ(info.st_mode & 07777, 0664u);
}

// A link in a sticky folder anyone may write, such as /tmp, is followed only when the saving
// user or the folder's owner made it: anyone else could have put it there to choose what the
// save replaces.
class WriteFileAtomicallyThroughALink : public WriteFileAtomicallyAsAUser {
  protected:
    std::string SharedFolder(const std::string& name, uid_t owner) {
        const std::string path = dir.File(name);
        fs::create_directory(path);
        EXPECT_EQ(::chown(path.c_str(), owner, 0), 0);
        EXPECT_EQ(::chmod(path.c_str(), 01777), 0);
        return path;
    }
    static void PlantAsNobody(const std::string& to, const std::string& link) {
        EXPECT_EQ(test_support::RunAsNobody([&] { return ::symlink(to.c_str(), link.c_str()); }),
                  0);
    }
    static bool RefusedAsAnotherUsersLink(const std::error_code& error) {
        return error == SaveRefusal::LinkOfAnotherUser &&
               error.message() == "another user's symbolic link in a sticky world-writable folder";
    }
};

TEST_F(WriteFileAtomicallyThroughALink, RootFollowsNoLinkAnotherUserPlantedInASharedFolder) {
    RUN_AS_ROOT();
    const std::string secret = Existing("secret", 0, 0, 0600);
    const std::string shared = SharedFolder("shared", 0);
    PlantAsNobody(secret, shared + "/planted.ICO");
    fs::create_symlink(shared + "/planted.ICO", shared + "/own.ICO");
    for (const char* name : {"/planted.ICO", "/own.ICO"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(RefusedAsAnotherUsersLink(WriteFileAtomically(shared + name, kNew)));
    }
    EXPECT_EQ(ReadBytes(secret), kOld);
    EXPECT_EQ(fs::read_symlink(shared + "/planted.ICO"), secret);
    EXPECT_EQ(std::distance(fs::directory_iterator(shared), fs::directory_iterator()), 2);

    // The same link in a folder only its owner may write is theirs to point anywhere.
    const std::string theirs = dir.File("theirs");
    fs::create_directory(theirs);
    EXPECT_EQ(::chown(theirs.c_str(), nobody.uid, nobody.gid), 0);
    PlantAsNobody(secret, theirs + "/link.ICO");
    EXPECT_FALSE(WriteFileAtomically(theirs + "/link.ICO", kNew));
    EXPECT_EQ(ReadBytes(secret), kNew);
}

TEST_F(WriteFileAtomicallyThroughALink, AUserFollowsOnlyTheirOwnAndTheFolderOwnersLinks) {
    RUN_AS_ROOT();
    const std::string mine = Existing("mine", nobody.uid, nobody.gid, 0644);
    const std::string roots = SharedFolder("roots", 0);
    PlantAsNobody(mine, roots + "/own.ICO");
    fs::create_symlink(mine, roots + "/owners.ICO");
    for (const char* name : {"/own.ICO", "/owners.ICO"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(SaveAsNobody(roots + name), 0);
    }
    EXPECT_EQ(ReadBytes(mine), kNew);

    // Root's link in a shared folder of nobody's is neither.
    WriteBytes(mine, kOld);
    const std::string nobodys = SharedFolder("nobodys", nobody.uid);
    fs::create_symlink(mine, nobodys + "/roots.ICO");
    EXPECT_EQ(
        test_support::RunAsNobody([&] {
            return RefusedAsAnotherUsersLink(WriteFileAtomically(nobodys + "/roots.ICO", kNew)) ? 0
                                                                                                : 1;
        }),
        0);
    EXPECT_EQ(ReadBytes(mine), kOld);
}

}  // namespace
}  // namespace platform
