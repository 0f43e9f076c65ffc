// "Convert to ICO": the planes, the key colour, the icon, and what is written.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "platform/pictures/picture_files.h"
#include "tests/support/child_process.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/other_users.h"

namespace zentrova {
namespace {

using platform::Bitmap;
using platform::COLORREF;
using platform::PixelFormat;
using platform::RGB;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A 40x40 picture in the key colour with a few marked pixels.
Bitmap Source(COLORREF key) {
    return Bitmap(40, 40, PixelFormat::Colour, key);
}

class PictureToIcon : public test_support::MainWindowTest {
  protected:
    // Shows the picture in the picture pane at the current icon size, as File > Convert does.
    void ShowSource(const Bitmap& source) {
        Main().Picture1.SetPicture(platform::Picture::FromBitmap(source));
        Main().Picture1.SetWidth(Main().IconSize + 4);
        Main().Picture1.SetHeight(Main().IconSize + 4);
    }
    const platform::IconImage& Icon() {
        const platform::IconImage* icon = Main().Picture2.GetPicture().Icon();
        EXPECT_NE(icon, nullptr);
        static const platform::IconImage none;
        return icon ? *icon : none;
    }
    bool SeeThrough(int x, int y) { return Icon().mask.At(x, y) == 1; }
};

TEST_F(PictureToIcon, DrawsBothPlanesAsTheTableGivesThem) {
    Bitmap source = Source(kRed);
    source.Set(3, 4, kBlue);
    source.Set(31, 31, RGB(7, 8, 9));
    ShowSource(source);
    Main().Command1_Click();

    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const bool key = source.At(x, y) == kRed;
            SCOPED_TRACE(testing::Message() << x << "," << y);
            const float fx = static_cast<float>(x), fy = static_cast<float>(y);
            EXPECT_EQ(Main().picImage.Point(fx, fy),
                      key ? 0 : static_cast<std::int32_t>(source.At(x, y)));
            EXPECT_EQ(Main().picMask.Point(fx, fy), key ? static_cast<std::int32_t>(kWhite) : 0);
            EXPECT_EQ(SeeThrough(x, y), key);
            if (!key) {
                EXPECT_EQ(Icon().colour.At(x, y), source.At(x, y));
            }
        }
    }
    EXPECT_EQ(Icon().Width(), 32);
    EXPECT_EQ(Icon().xHotspot, 16);
    EXPECT_EQ(Main().Picture2.Width(), 36) << "the result pane sizes itself to the icon";
}

TEST_F(PictureToIcon, MakesEveryPixelOfTheKeyColourTransparentWhereverItLies) {
    Bitmap source = Source(kBlue);
    source.Set(0, 0, kRed);
    source.Set(15, 15, kRed);
    source.Set(31, 2, kRed);
    ShowSource(source);
    Main().Command1_Click();
    EXPECT_TRUE(SeeThrough(0, 0));
    EXPECT_TRUE(SeeThrough(15, 15));
    EXPECT_TRUE(SeeThrough(31, 2));
    EXPECT_FALSE(SeeThrough(1, 0));
}

TEST_F(PictureToIcon, HasNoToleranceAndKeepsOpaqueBlackOpaque) {
    Bitmap source = Source(RGB(10, 20, 30));
    source.Set(1, 0, RGB(10, 20, 31));
    source.Set(2, 0, RGB(0, 0, 0));
    ShowSource(source);
    Main().Command1_Click();
    EXPECT_FALSE(SeeThrough(1, 0));
    EXPECT_EQ(Icon().colour.At(1, 0), RGB(10, 20, 31));
    EXPECT_FALSE(SeeThrough(2, 0)) << "black is a colour, not the mask";
    EXPECT_EQ(Icon().colour.At(2, 0), 0u);
}

TEST_F(PictureToIcon, SamplesOutsideASmallPaneBecomeOpaqueBlack) {
    Main().mnuSize[0].Click();  // 16x16: the pane's inner area is 16 x 16
    ShowSource(Source(kRed));
    Main().Command1_Click();
    EXPECT_TRUE(SeeThrough(15, 15));
    EXPECT_FALSE(SeeThrough(16, 0));
    EXPECT_FALSE(SeeThrough(31, 31));
    EXPECT_EQ(Icon().colour.At(16, 0), 0u);
    EXPECT_EQ(Icon().colour.At(31, 31), 0u);
}

TEST_F(PictureToIcon, LargePanesStillGiveTheTopLeft32x32) {
    Main().mnuSize[4].Click();  // 64x64
    Bitmap source = Source(kRed);
    source.Set(31, 31, kBlue);
    source.Set(32, 32, kBlue);
    ShowSource(source);
    Main().Command1_Click();
    EXPECT_EQ(Icon().Width(), 32);
    EXPECT_EQ(Icon().Height(), 32);
    EXPECT_FALSE(SeeThrough(31, 31));
    EXPECT_EQ(Icon().colour.At(31, 31), kBlue);
}

TEST_F(PictureToIcon, WithNothingOpenedMakesAClearIconAndWritesNothing) {
    Main().Command1_Click();
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) ASSERT_TRUE(SeeThrough(x, y));
    }
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST_F(PictureToIcon, ConvertingTwiceLeavesOneIconAndNoOtherObjects) {
    ShowSource(Source(kRed));
    Main().Command1_Click();  // the panes' own surfaces exist from here on
    const platform::LiveObjects before = gdi.CountLiveObjects();
    EXPECT_EQ(before.icons, 1);
    Main().Command1_Click();
    EXPECT_EQ(gdi.CountLiveObjects(), before);
    EXPECT_EQ(gdi.GetSelectedBitmap(Main().hMemDC), Main().hMemBitmap);
    EXPECT_EQ(gdi.SelectObject(Main().hMemDC, Main().hOldBitmap), Main().hMemBitmap);
}

TEST_F(PictureToIcon, IconShowsAnyBackgroundThroughTheKeyPixels) {
    Bitmap source = Source(kRed);
    source.Set(5, 5, kBlue);
    ShowSource(source);
    Main().Command1_Click();
    for (const COLORREF background : {kWhite, RGB(0, 0, 0), RGB(0, 128, 0)}) {
        Bitmap surface(32, 32, PixelFormat::Colour, background);
        Main().Picture2.GetPicture().Render(surface);
        EXPECT_EQ(surface.At(0, 0), background);
        EXPECT_EQ(surface.At(31, 31), background);
        EXPECT_EQ(surface.At(5, 5), kBlue);
    }
}

// Decodes an icon file with Pillow and returns "x y r g b a" lines.
std::string DecodeWithPillow(const std::string& path) {
    const std::string script =
        "import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1]).convert('RGBA')\n"
        "w, h = im.size\nprint(w, h)\n"
        "for y in range(h):\n    for x in range(w):\n        print(x, y, *im.getpixel((x, y)))\n";
    const std::string out = path + ".txt";
    if (test_support::RunProgram({.args = {"/usr/bin/python3", "-c", script, path}, .out = out})
            .status != 0) {
        return "";
    }
    return test_support::ReadText(out);
}

TEST_F(PictureToIcon, WritesAnIconFileThatAnIndependentReaderDecodesToThePlanes) {
    Bitmap source = Source(kRed);
    source.Set(3, 4, kBlue);
    source.Set(6, 7, RGB(0, 0, 0));
    ShowSource(source);
    Main().SavePath = dir.File("out.ICO");
    Main().Command1_Click();
    ASSERT_TRUE(Messages().empty());

    std::stringstream expected;
    expected << "32 32\n";
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const COLORREF c = source.At(x, y);
            if (c == kRed) {
                expected << x << " " << y << " 0 0 0 0\n";
            } else {
                expected << x << " " << y << " " << int(platform::GetRValue(c)) << " "
                         << int(platform::GetGValue(c)) << " " << int(platform::GetBValue(c))
                         << " 255\n";
            }
        }
    }
    EXPECT_EQ(DecodeWithPillow(dir.File("out.ICO")), expected.str());
}

TEST_F(PictureToIcon, ReportsAWriteThatFails) {
    ShowSource(Source(kRed));
    Main().SavePath = dir.File("missing-folder/out.ICO");
    Main().Command1_Click();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0],
              (test_support::ShownMessage{"File " + Main().SavePath + " could not be written!", 16,
                                          "Error"}));
    EXPECT_NE(Main().Picture2.GetPicture().Icon(), nullptr) << "the icon is still shown";
}

TEST_F(PictureToIcon, ReportsAFileTheUserMayNotWriteAndLeavesIt) {
    RUN_AS_ROOT();
    const test_support::Nobody nobody = test_support::FindNobody();
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::all);
    const std::vector<std::uint8_t> old = {0, 0, 1, 0, 7};
    test_support::WriteBytes(dir.File("kept.ICO"), old);
    ASSERT_EQ(::chown(dir.File("kept.ICO").c_str(), nobody.uid, nobody.gid), 0);
    std::filesystem::permissions(dir.File("kept.ICO"), std::filesystem::perms::owner_read);
    ShowSource(Source(kRed));
    Main().SavePath = dir.File("kept.ICO");
    const test_support::ShownMessage expected{"File " + Main().SavePath + " could not be written!",
                                              16, "Error"};
    EXPECT_EQ(test_support::RunAsNobody([&] {
                  Main().Command1_Click();
                  return Messages() == std::vector{expected} ? 0 : 1;
              }),
              0);
    EXPECT_EQ(test_support::ReadBytes(dir.File("kept.ICO")), old);
}

TEST_F(PictureToIcon, NeverWritesIconDataToAPathChosenForABitmap) {
    test_support::WriteBytes(dir.File("x.ico.BMP"), {'B', 'M', 1, 2});
    ShowSource(Source(kRed));
    Main().SavePath = dir.File("x.ico.BMP");
    Main().Command1_Click();
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(test_support::ReadBytes(dir.File("x.ico.BMP")),
              (std::vector<std::uint8_t>{'B', 'M', 1, 2}));
    EXPECT_NE(Main().Picture2.GetPicture().Icon(), nullptr);
}

}  // namespace
}  // namespace zentrova
