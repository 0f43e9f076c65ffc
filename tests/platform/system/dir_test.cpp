#include "platform/system/dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/platform_error.h"
#include "tests/support/test_files.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using test_support::TempDir;
using test_support::WriteBytes;

void Touch(const TempDir& dir, const std::string& name) {
    WriteBytes(dir.File(name), {'x'});
}

ErrorNumber ErrorOf(const std::string& pattern, int attributes = vbNormal) {
    try {
        Dir(pattern, attributes);
    } catch (const PlatformError& error) {
        return error.Number();
    }
    return ErrorNumber{};
}

TEST(Dir, MatchesStarAndQuestionMarkAndReturnsTheFirstNameOnly) {
    TempDir dir;
    Touch(dir, "logo.gif");
    Touch(dir, "back.gif");
    Touch(dir, "logo.jpg");
    EXPECT_EQ(Dir(dir.File("*.gif")), "back.gif");  // the first in byte order, not the path
    EXPECT_EQ(Dir(dir.File("l?go.*")), "logo.gif");
    EXPECT_EQ(Dir(dir.File("logo.gif")), "logo.gif");
    EXPECT_EQ(Dir(dir.File("*")), "back.gif");
    EXPECT_EQ(Dir(dir.File("?.gif")), "");
    EXPECT_EQ(Dir(dir.File("*.png")), "");
    EXPECT_EQ(Dir(dir.File("LOGO.GIF")), "");  // the file system's names keep their case
    EXPECT_EQ(Dir(dir.File("*o*o*.jpg")), "logo.jpg");
}

TEST(Dir, WildcardsMatchInAnyLetterCase) {
    TempDir dir;
    Touch(dir, "LOGO.GIF");
    Touch(dir, "\xC3\x89T\xC3\x89.BMP");  // ÉTÉ.BMP
    EXPECT_EQ(Dir(dir.File("*.gif")), "LOGO.GIF");
    EXPECT_EQ(Dir(dir.File("l?go.Gif")), "LOGO.GIF");
    EXPECT_EQ(Dir(dir.File("\xC3\xA9t\xC3\xA9.*")), "\xC3\x89T\xC3\x89.BMP");  // été.*
    EXPECT_EQ(Dir(dir.File("*.png")), "");
}

TEST(Dir, QuestionMarkMatchesOneCharacterNotOneByte) {
    TempDir dir;
    Touch(dir, "caf\xC3\xA9.bmp");
    EXPECT_EQ(Dir(dir.File("caf?.bmp")), "caf\xC3\xA9.bmp");
    EXPECT_EQ(Dir(dir.File("caf??.bmp")), "");
}

TEST(Dir, BracketsAndOtherCharactersAreLiteral) {
    TempDir dir;
    Touch(dir, "a1.jpg");
    EXPECT_EQ(Dir(dir.File("a[1].jpg")), "");
    EXPECT_EQ(Dir(dir.File("a[0-9].*")), "");
    Touch(dir, "a[1].jpg");
    EXPECT_EQ(Dir(dir.File("a[1].jpg")), "a[1].jpg");
    EXPECT_EQ(Dir(dir.File("a[?].*")), "a[1].jpg");
    Touch(dir, "b\\{x}.jpg");
    EXPECT_EQ(Dir(dir.File("b\\{*}.jpg")), "b\\{x}.jpg");
}

TEST(Dir, HiddenFilesCountAsMissingUnlessAskedFor) {
    TempDir dir;
    Touch(dir, ".secret.gif");
    EXPECT_EQ(Dir(dir.File(".secret.gif")), "");
    EXPECT_EQ(Dir(dir.File("*.gif")), "");
    EXPECT_EQ(Dir(dir.File("*.gif"), vbHidden), ".secret.gif");
}

TEST(Dir, FindsOnlyRegularFilesAndLinksToThem) {
    TempDir dir;
    fs::create_directory(dir.File("folder.gif"));
    ASSERT_EQ(::mkfifo(dir.File("pipe.gif").c_str(), 0600), 0);
    fs::create_symlink(dir.File("nowhere"), dir.File("dangling.gif"));

    EXPECT_EQ(Dir(dir.File("*.gif")), "");
    EXPECT_EQ(Dir(dir.File("folder.gif")), "");
    EXPECT_EQ(Dir(dir.File("pipe.gif")), "");
    EXPECT_EQ(Dir(dir.File("dangling.gif")), "");
    EXPECT_EQ(Dir("/dev/null"), "");
    EXPECT_EQ(Dir(dir.File("*.gif"), vbDirectory), "folder.gif");

    Touch(dir, "real.gif");
    fs::create_symlink(dir.File("real.gif"), dir.File("link.gif"));
    EXPECT_EQ(Dir(dir.File("l*.gif")), "link.gif");
}

TEST(Dir, FindsARegularFileThatCannotBeRead) {
    TempDir dir;
    Touch(dir, "locked.bmp");
    fs::permissions(dir.File("locked.bmp"), fs::perms::none);
    EXPECT_EQ(Dir(dir.File("locked.bmp")), "locked.bmp");
    EXPECT_EQ(Dir(dir.File("*.bmp")), "locked.bmp");
}

TEST(Dir, AMissingFolderOrANameEndingInASlashFindsNothing) {
    TempDir dir;
    Touch(dir, "file.ico");
    EXPECT_EQ(Dir(dir.File("missing/*.ico")), "");
    EXPECT_EQ(Dir(dir.File("missing/file.ico")), "");
    EXPECT_EQ(Dir(dir.Path().string() + "/"), "");
    EXPECT_EQ(Dir(""), "");
}

TEST(Dir, AFolderPartIsTakenAsWrittenWildcardsIncluded) {
    TempDir dir;
    fs::create_directory(dir.File("we*ird"));
    fs::create_directory(dir.File("q?dir"));
    fs::create_directory(dir.File("weXird"));
    Touch(dir, "we*ird/x.jpg");
    Touch(dir, "q?dir/x.jpg");
    Touch(dir, "q?dir/.x.jpg");
    Touch(dir, "weXird/y.jpg");
    EXPECT_EQ(Dir(dir.File("we*ird/x.jpg")), "x.jpg");
    EXPECT_EQ(Dir(dir.File("q?dir/*.JPG")), "x.jpg") << "the name is still a pattern";
    EXPECT_EQ(Dir(dir.File("q?dir/.x.jpg")), "");
    EXPECT_EQ(Dir(dir.File("we*ird/y.jpg")), "") << "no folder matched as a pattern";
    EXPECT_EQ(Dir(dir.File("*/x.jpg")), "");
    EXPECT_EQ(Dir(dir.Path().parent_path().string() + "/zentrova-test-" + std::string(6, '?') +
                  "/we*ird/x.jpg"),
              "");
}

TEST(Dir, RefusesMalformedPatterns) {
    TempDir dir;
    Touch(dir, "file.ico");
    EXPECT_EQ(ErrorOf(dir.File("file.ico") + std::string(1, '\0') + "x"),
              ErrorNumber::PathNotFound);
    EXPECT_EQ(ErrorOf(std::string(5000, 'a')), ErrorNumber::PathNotFound);
    EXPECT_EQ(ErrorOf(dir.File("file.ico"), 4), ErrorNumber::InvalidProcedureCall);
}

}  // namespace
}  // namespace platform
