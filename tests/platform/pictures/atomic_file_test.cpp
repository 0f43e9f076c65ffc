#include "platform/pictures/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <gtest/gtest.h>

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

TEST(WriteFileAtomically, FailureLeavesTheOldFileAsItWas) {
    // Root writes into read-only folders, so use failures that hold for anyone.
    TempDir dir;
    WriteBytes(dir.File("notafolder"), kOld);
    EXPECT_TRUE(WriteFileAtomically(dir.File("notafolder/out.ico"), kNew));
    EXPECT_TRUE(WriteFileAtomically(dir.File("missing/out.ico"), kNew));
    EXPECT_TRUE(WriteFileAtomically(dir.Path().string(), kNew)) << "a folder is not replaced";
    EXPECT_EQ(ReadBytes(dir.File("notafolder")), kOld);
}

}  // namespace
}  // namespace platform
