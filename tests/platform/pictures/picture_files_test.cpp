#include "platform/pictures/picture_files.h"

#include <gtest/gtest.h>

#include "platform/graphics/colour.h"
#include "platform/platform_error.h"
#include "tests/support/test_files.h"

namespace platform {
namespace {

using test_support::ReadBytes;
using test_support::TempDir;
using test_support::WriteBytes;

ErrorNumber LoadError(const std::string& path) {
    try {
        LoadPicture(path);
    } catch (const PlatformError& e) {
        return e.Number();
    }
    return ErrorNumber{0};
}

ErrorNumber SaveError(const Picture& picture, const std::string& path) {
    try {
        SavePicture(picture, path);
    } catch (const PlatformError& e) {
        return e.Number();
    }
    return ErrorNumber{0};
}

Picture RedSquare() {
    return Picture::FromBitmap(Bitmap(4, 4, PixelFormat::Colour, RGB(255, 0, 0)));
}

TEST(LoadPicture, GivesTheEmptyPictureForNoName) {
    EXPECT_TRUE(LoadPicture().IsEmpty());
    EXPECT_TRUE(LoadPicture("").IsEmpty());
}

TEST(LoadPicture, RaisesTheRuntimeErrorThatFitsTheFailure) {
    TempDir dir;
    WriteBytes(dir.File("notes.jpg"), {'h', 'e', 'l', 'l', 'o'});
    WriteBytes(dir.File("empty.bmp"), {});
    WriteBytes(dir.File("short.bmp"), {'B', 'M', 0, 0});
    EXPECT_EQ(LoadError(dir.File("missing.jpg")), ErrorNumber::FileNotFound);
    EXPECT_EQ(LoadError(dir.File("missing/deeper.jpg")), ErrorNumber::FileNotFound);
    EXPECT_EQ(LoadError(dir.Path().string()), ErrorNumber::PathFileAccessError);
    EXPECT_EQ(LoadError(dir.File("notes.jpg")), ErrorNumber::InvalidPicture);
    EXPECT_EQ(LoadError(dir.File("empty.bmp")), ErrorNumber::InvalidPicture);
    EXPECT_EQ(LoadError(dir.File("short.bmp")), ErrorNumber::InvalidPicture);
}

TEST(SavePicture, RefusesTheEmptyPictureAndAPathThatCannotBeWritten) {
    TempDir dir;
    EXPECT_EQ(SaveError(Picture(), dir.File("a.bmp")), ErrorNumber::InvalidPropertyValue);
    EXPECT_EQ(SaveError(RedSquare(), dir.File("missing/a.bmp")), ErrorNumber::PathNotFound);
    EXPECT_EQ(SaveError(RedSquare(), ""), ErrorNumber::PathNotFound);
    EXPECT_EQ(SaveError(RedSquare(), dir.Path().string()), ErrorNumber::PathFileAccessError);
}

TEST(SavePicture, APictureThatCannotBeEncodedWritesNoFileAndLeavesTheOldOne) {
    IconImage huge;
    huge.colour = Bitmap(300, 300, PixelFormat::Colour);
    huge.mask = Bitmap(300, 300, PixelFormat::Monochrome);
    TempDir dir;
    WriteBytes(dir.File("old.ico"), {1, 2, 3});
    EXPECT_EQ(SaveError(Picture::FromIcon(huge), dir.File("new.ico")), ErrorNumber::InvalidPicture);
    EXPECT_EQ(SaveError(Picture::FromIcon(huge), dir.File("old.ico")), ErrorNumber::InvalidPicture);
    EXPECT_FALSE(std::filesystem::exists(dir.File("new.ico")));
    EXPECT_EQ(ReadBytes(dir.File("old.ico")), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(SavePicture, WritesABitmapPictureAsABitmapFileThatLoadsBack) {
    TempDir dir;
    WriteBytes(dir.File("a.bmp"), {1, 2, 3});
    SavePicture(RedSquare(), dir.File("a.bmp"));
    const auto bytes = ReadBytes(dir.File("a.bmp"));
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 'B');
    const Picture back = LoadPicture(dir.File("a.bmp"));
    EXPECT_EQ(back.Type(), PictureType::Bitmap);
    EXPECT_EQ(back.Pixels(), RedSquare().Pixels());
}

TEST(SavePicture, WritesAnIconPictureAsAnIconFileThatLoadsBack) {
    IconImage icon;
    icon.colour = Bitmap(32, 32, PixelFormat::Colour, RGB(0, 128, 0));
    icon.mask = Bitmap(32, 32, PixelFormat::Monochrome);
    icon.mask.Set(0, 0, 1);
    icon.colour.Set(0, 0, 0);
    TempDir dir;
    SavePicture(Picture::FromIcon(icon), dir.File("a.ico"));
    const Picture back = LoadPicture(dir.File("a.ico"));
    ASSERT_EQ(back.Type(), PictureType::Icon);
    EXPECT_EQ(back.Icon()->mask, icon.mask);
    Bitmap shown(32, 32, PixelFormat::Colour, RGB(1, 1, 1));
    back.Render(shown);
    EXPECT_EQ(shown.At(0, 0), RGB(1, 1, 1));
    EXPECT_EQ(shown.At(5, 5), RGB(0, 128, 0));
}

}  // namespace
}  // namespace platform
