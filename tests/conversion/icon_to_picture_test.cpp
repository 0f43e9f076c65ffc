// "Convert to BMP": the snapshot, the on-screen recolouring, and what is written.
#include <gtest/gtest.h>

#include "platform/pictures/picture_files.h"
#include "tests/support/main_window_fixture.h"

namespace zentrova {
namespace {

using platform::Bitmap;
using platform::COLORREF;
using platform::PixelFormat;
using platform::RGB;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kButtonFace = RGB(240, 240, 240);
constexpr COLORREF kGreen = RGB(0, 128, 0);

// A 64x64 green icon whose top-left 4x4 corner and one inner pixel are see-through, with
// one opaque pixel in the pane's background colour.
platform::IconImage CornerIcon() {
    platform::IconImage icon;
    icon.colour = Bitmap(64, 64, PixelFormat::Colour, kGreen);
    icon.mask = Bitmap(64, 64, PixelFormat::Monochrome);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            icon.mask.Set(x, y, 1);
            icon.colour.Set(x, y, 0);
        }
    }
    icon.mask.Set(10, 10, 1);
    icon.colour.Set(10, 10, 0);
    icon.colour.Set(20, 20, kWhite);
    return icon;
}

class IconToPicture : public test_support::MainWindowTest {
  protected:
    void ShowIcon(int iconSize) {
        Main().IconSize = static_cast<std::int16_t>(iconSize);
        Main().Picture3.SetPicture(platform::Picture::FromIcon(CornerIcon()));
        Main().Picture3.SetWidth(iconSize + 4);
        Main().Picture3.SetHeight(iconSize + 4);
    }
};

TEST_F(IconToPicture, TakesASnapshotOfTheIconOverThePaneBackground) {
    ShowIcon(32);
    Main().Command2_Click();
    const Bitmap snapshot = Main().Picture4.GetPicture().Pixels();
    ASSERT_EQ(snapshot.Width(), 32);
    ASSERT_EQ(snapshot.Height(), 32);
    EXPECT_EQ(platform::ColourOf(snapshot.At(0, 0)), kWhite);
    EXPECT_EQ(platform::ColourOf(snapshot.At(10, 10)), kWhite);
    EXPECT_EQ(platform::ColourOf(snapshot.At(5, 5)), kGreen);
}

TEST_F(IconToPicture, RepaintsKeyColouredPixelsOnScreenOnly) {
    ShowIcon(32);
    Main().Command2_Click();
    // Transparent and opaque pixels of the key colour alike take the window colour on screen.
    EXPECT_EQ(Main().Picture4.Point(0, 0), static_cast<std::int32_t>(kButtonFace));
    EXPECT_EQ(Main().Picture4.Point(10, 10), static_cast<std::int32_t>(kButtonFace));
    EXPECT_EQ(Main().Picture4.Point(20, 20), static_cast<std::int32_t>(kButtonFace));
    EXPECT_EQ(Main().Picture4.Point(5, 5), static_cast<std::int32_t>(kGreen));
    EXPECT_EQ(platform::ColourOf(Main().Picture4.GetPicture().Pixels().At(0, 0)), kWhite)
        << "never in the picture object";
    Main().Picture4.Refresh();
    EXPECT_EQ(Main().Picture4.Point(0, 0), static_cast<std::int32_t>(kWhite))
        << "lost at the next repaint";
}

TEST_F(IconToPicture, ScansOnly33By33Pixels) {
    platform::IconImage icon;
    icon.colour = Bitmap(64, 64, PixelFormat::Colour, kWhite);
    icon.mask = Bitmap(64, 64, PixelFormat::Monochrome);
    Main().Picture3.SetPicture(platform::Picture::FromIcon(icon));
    Main().Picture3.SetWidth(68);
    Main().Picture3.SetHeight(68);
    Main().Picture4.SetWidth(80);  // a pane large enough to show past the scan
    Main().Picture4.SetHeight(80);
    Main().Command2_Click();
    EXPECT_EQ(Main().Picture4.Point(32, 32), static_cast<std::int32_t>(kButtonFace));
    EXPECT_EQ(Main().Picture4.Point(33, 0), static_cast<std::int32_t>(kWhite));
    EXPECT_EQ(Main().Picture4.Point(0, 33), static_cast<std::int32_t>(kWhite));
}

TEST_F(IconToPicture, WritesTheSnapshotAtTheIconSizeAsABitmapFile) {
    ShowIcon(64);
    Main().SavePath = dir.File("x.ico.BMP");
    Main().Command2_Click();
    ASSERT_TRUE(Messages().empty());
    const platform::Picture written = platform::LoadPicture(Main().SavePath);
    ASSERT_EQ(written.Type(), platform::PictureType::Bitmap);
    const Bitmap pixels = written.Pixels();
    EXPECT_EQ(pixels.Width(), 64);
    EXPECT_EQ(pixels.Height(), 64);
    EXPECT_EQ(platform::ColourOf(pixels.At(0, 0)), kWhite)
        << "the file holds the snapshot, not the repaint";
    EXPECT_EQ(platform::ColourOf(pixels.At(63, 63)), kGreen);
}

TEST_F(IconToPicture, NeverWritesBitmapDataToAPathChosenForAnIcon) {
    ShowIcon(32);
    test_support::WriteBytes(dir.File("logo.ico"), {0, 0, 1, 0});
    Main().SavePath = dir.File("logo.ico");
    Main().Command2_Click();
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(test_support::ReadBytes(dir.File("logo.ico")),
              (std::vector<std::uint8_t>{0, 0, 1, 0}));
}

TEST_F(IconToPicture, ReportsAWriteThatFails) {
    ShowIcon(32);
    std::filesystem::create_directory(dir.Path() / "taken.bmp");
    Main().SavePath = dir.File("taken.bmp");
    Main().Command2_Click();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].prompt, "File " + Main().SavePath + " could not be written!");
    EXPECT_EQ(Messages()[0].style, 16);
    EXPECT_EQ(Messages()[0].title, "Error");
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "taken.bmp"));
}

}  // namespace
}  // namespace zentrova
