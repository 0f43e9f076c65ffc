#include "main_window/path_functions.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/support/test_files.h"

namespace zentrova {
namespace {

using test_support::TempDir;
using test_support::WriteBytes;

TEST(AddSlash, FollowsTheExampleTable) {
    EXPECT_EQ(AddSlash("", "/"), "/");
    EXPECT_EQ(AddSlash("/tmp", "/"), "/tmp/");
    EXPECT_EQ(AddSlash("/tmp/", "/"), "/tmp/");
    EXPECT_EQ(AddSlash("/", "/"), "/");
    EXPECT_EQ(AddSlash("/tmp", "//"), "/tmp//") << "two characters never equal the last one";
    EXPECT_EQ(AddSlash("/tmp/é", "/"), "/tmp/é/") << "the last character, not the last byte";
}

TEST(GetFileNameFromString, FollowsTheExampleTable) {
    EXPECT_EQ(GetFileNameFromString("/Pictures/logo.gif"), "logo.gif");
    EXPECT_EQ(GetFileNameFromString("logo.gif"), "");
    EXPECT_EQ(GetFileNameFromString("/Pictures/"), "");
    EXPECT_EQ(GetFileNameFromString("/"), "");
    EXPECT_EQ(GetFileNameFromString("C:logo.gif"), "");
    EXPECT_EQ(GetFileNameFromString("C:\\Pictures\\logo.gif"), "")
        << "only the separator separates";
    EXPECT_EQ(GetFileNameFromString(""), "");
}

TEST(GetFileNameFromString, HasNoLengthLimit) {
    const std::string longName(40000, 'a');
    EXPECT_EQ(GetFileNameFromString("/x/" + longName), longName);
    EXPECT_EQ(GetFileNameFromString(std::string(32767, 'b')), "");
}

TEST(FileExists, FindsRegularVisibleFilesOnly) {
    TempDir dir;
    WriteBytes(dir.File("photo.jpg"), {1});
    WriteBytes(dir.File(".hidden.jpg"), {1});
    WriteBytes(dir.File("locked.jpg"), {1});
    ::chmod(dir.File("locked.jpg").c_str(), 0);
    std::filesystem::create_directory(dir.Path() / "folder.jpg");

    EXPECT_TRUE(FileExists(dir.File("photo.jpg")));
    EXPECT_TRUE(FileExists(dir.File("locked.jpg"))) << "readable or not";
    EXPECT_FALSE(FileExists(dir.File(".hidden.jpg")));
    EXPECT_FALSE(FileExists(dir.File("folder.jpg")));
    EXPECT_FALSE(FileExists(dir.File("nowhere.jpg")));
    EXPECT_FALSE(FileExists(""));
}

TEST(FileExists, TreatsOnlyStarAndQuestionMarkAsWildcards) {
    TempDir dir;
    WriteBytes(dir.File("a[1].jpg"), {1});
    WriteBytes(dir.File("b1.gif"), {1});
    WriteBytes(dir.File("LOGO.GIF"), {1});
    EXPECT_TRUE(FileExists(dir.File("*.gif")));
    EXPECT_TRUE(FileExists(dir.File("logo.*")));
    EXPECT_FALSE(FileExists(dir.File("logo.gif"))) << "without wildcards: that very name";
    EXPECT_TRUE(FileExists(dir.File("b?.gif")));
    EXPECT_FALSE(FileExists(dir.File("*.png")));
    EXPECT_TRUE(FileExists(dir.File("a[1].jpg")));
    EXPECT_FALSE(FileExists(dir.File("a1.jpg")));
    WriteBytes(dir.File("a1.jpg"), {1});
    EXPECT_FALSE(FileExists(dir.File("a[2].jpg"))) << "brackets are no character class";

    std::filesystem::create_directory(dir.Path() / "we*ird");
    std::filesystem::create_directory(dir.Path() / "q?dir");
    WriteBytes(dir.File("we*ird/x.jpg"), {1});
    WriteBytes(dir.File("q?dir/.x.jpg"), {1});
    EXPECT_TRUE(FileExists(dir.File("we*ird/x.jpg"))) << "a folder's name is taken as written";
    EXPECT_FALSE(FileExists(dir.File("q?dir/.x.jpg")));
}

}  // namespace
}  // namespace zentrova
