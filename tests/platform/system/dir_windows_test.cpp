// The directory search on Windows: which files the attributes let it find.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "platform/platform_error.h"
#include "platform/system/dir.h"
#include "tests/support/test_files.h"

namespace platform {
namespace {

using test_support::TempDir;
using test_support::WriteBytes;

void MakeFile(const TempDir& dir, const char* name, DWORD attributes) {
    WriteBytes(dir.File(name), {1});
    ASSERT_TRUE(::SetFileAttributesW((dir.Path() / name).c_str(), attributes));
}

TEST(DirOnWindows, FindsNormalReadOnlyAndArchiveFilesButNotHiddenSystemFilesOrFolders) {
    TempDir dir;
    MakeFile(dir, "normal.gif", FILE_ATTRIBUTE_NORMAL);
    MakeFile(dir, "readonly.gif", FILE_ATTRIBUTE_READONLY);
    MakeFile(dir, "archive.gif", FILE_ATTRIBUTE_ARCHIVE);
    MakeFile(dir, "hidden.gif", FILE_ATTRIBUTE_HIDDEN);
    MakeFile(dir, "system.gif", FILE_ATTRIBUTE_SYSTEM);
    std::filesystem::create_directory(dir.Path() / "folder.gif");

    EXPECT_EQ(Dir(dir.File("normal.gif")), "normal.gif");
    EXPECT_EQ(Dir(dir.File("readonly.gif")), "readonly.gif");
    EXPECT_EQ(Dir(dir.File("archive.gif")), "archive.gif");
    EXPECT_EQ(Dir(dir.File("hidden.gif")), "");
    EXPECT_EQ(Dir(dir.File("hidden.gif"), vbHidden), "hidden.gif");
    EXPECT_EQ(Dir(dir.File("system.gif"), vbHidden), "");
    EXPECT_EQ(Dir(dir.File("folder.gif")), "");
    EXPECT_EQ(Dir(dir.File("folder.gif"), vbDirectory), "folder.gif");
    EXPECT_EQ(Dir(dir.File("*.GIF")), "archive.gif") << "the first in byte order, any case";
    EXPECT_EQ(Dir(dir.File("h*.gif")), "");
    EXPECT_EQ(Dir(dir.File("h*.gif"), vbHidden), "hidden.gif");
    EXPECT_EQ(Dir(dir.Path().string() + "\\"), "");
    EXPECT_THROW(Dir(dir.File("*\\normal.gif")), PlatformError);
    ::SetFileAttributesW((dir.Path() / "readonly.gif").c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace platform
