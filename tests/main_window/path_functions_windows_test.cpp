// The path functions on Windows, with the separator "\" and the examples as they are written.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "main_window/path_functions.h"
#include "tests/support/test_files.h"

namespace zentrova {
namespace {

TEST(PathFunctionsOnWindows, AddSlashFollowsTheExampleTable) {
    EXPECT_EQ(AddSlash("", "\\"), "\\");
    EXPECT_EQ(AddSlash("C:\\Temp", "\\"), "C:\\Temp\\");
    EXPECT_EQ(AddSlash("C:\\Temp\\", "\\"), "C:\\Temp\\");
    EXPECT_EQ(AddSlash("C:\\", "\\"), "C:\\");
    EXPECT_EQ(AddSlash("C:\\Temp", "\\\\"), "C:\\Temp\\\\");
    EXPECT_EQ(std::string(kPathSeparator), "\\");
}

TEST(PathFunctionsOnWindows, GetFileNameFromStringFollowsTheExampleTable) {
    EXPECT_EQ(GetFileNameFromString("C:\\Pictures\\logo.gif"), "logo.gif");
    EXPECT_EQ(GetFileNameFromString("logo.gif"), "");
    EXPECT_EQ(GetFileNameFromString("C:\\Pictures\\"), "");
    EXPECT_EQ(GetFileNameFromString("\\"), "");
    EXPECT_EQ(GetFileNameFromString("C:logo.gif"), "");
    EXPECT_EQ(GetFileNameFromString("C:/Pictures/logo.gif"), "");
    EXPECT_EQ(GetFileNameFromString(""), "");
}

// C:\Pictures is made in the test's own Wine prefix and removed again.
TEST(PathFunctionsOnWindows, FileExistsOfAPatternFindsNormalGifsButNotHiddenOnes) {
    const std::filesystem::path pictures = L"C:\\Pictures";
    ASSERT_FALSE(std::filesystem::exists(pictures)) << "left from an earlier run";
    std::filesystem::create_directory(pictures);
    test_support::WriteBytes(pictures / "secret.gif", {1});
    ::SetFileAttributesW((pictures / "secret.gif").c_str(), FILE_ATTRIBUTE_HIDDEN);
    const bool withHiddenOnly = FileExists("C:\\Pictures\\*.gif");
    test_support::WriteBytes(pictures / "logo.gif", {1});
    const bool withANormalOne = FileExists("C:\\Pictures\\*.gif");
    ::SetFileAttributesW((pictures / "secret.gif").c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(pictures);
    EXPECT_FALSE(withHiddenOnly);
    EXPECT_TRUE(withANormalOne);
}

}  // namespace
}  // namespace zentrova
