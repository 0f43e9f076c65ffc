// PNG pictures decode only the rows shown, a row at a time; what is shown and written is what a
// whole decode gives, interlaced or not, and an icon's large PNG entry is shown the same way.
#include "platform/pictures/sources/png_picture.h"

#include <gtest/gtest.h>

#include "platform/pictures/picture_files.h"
#include "platform/platform_error.h"
#include "tests/platform/pictures/codecs/png_test_writer.h"
#include "tests/platform/pictures/picture_comparison.h"
#include "tests/support/codec_test_support.h"
#include "tests/support/test_files.h"

namespace platform {
namespace {

// Alpha of every level when asked, so that a pixel drawn without blending shows.
Bitmap Pattern(int width, int height, bool alpha) {
    Bitmap pixels = test_support::PhotoLikePattern(width, height);
    if (!alpha) return pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            pixels.Set(
                x, y,
                WithAlpha(pixels.At(x, y), static_cast<std::uint32_t>((x * 7 + y * 3) % 256)));
    }
    pixels.SetHasAlpha(true);
    return pixels;
}

class PngPictureTest : public ::testing::Test {
  protected:
    std::string Write(const std::vector<std::uint8_t>& bytes, const char* name = "picture.png") {
        const std::string path = dir.File(name);
        test_support::WriteBytes(path, bytes);
        return path;
    }
    test_support::TempDir dir;
};

TEST_F(PngPictureTest, ShowsAndWritesWhatAWholeDecodeGivesInterlacedOrNot) {
    for (const bool interlaced : {false, true}) {
        for (const bool alpha : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << (interlaced ? "interlaced" : "plain") << (alpha ? ", alpha" : ""));
            // Taller than any corner kept on opening, and too large a pane to compose whole.
            const auto file = test_support::CompressPng(Pattern(400, 700, alpha), interlaced);
            const auto whole = test_support::DecodedWhole(file);
            ASSERT_TRUE(whole.has_value());
            const Picture lazy = LoadPicture(Write(file));
            EXPECT_TRUE(lazy.DecodesOnDemand());
            test_support::ExpectStreamsLikeWholeDecode(lazy, *whole, dir.Path().string());
        }
    }
}

TEST_F(PngPictureTest, IsReadToItsEndOnOpeningWhenThePanesShowAllItsRows) {
    // Cut before its closing chunk: a picture the panes show whole is refused, as DecodePng
    // refuses it, though all its rows are there.
    const auto small = test_support::CompressPng(Pattern(40, 20, false), false);
    const std::vector<std::uint8_t> smallCut(small.begin(), small.end() - 12);
    ASSERT_FALSE(test_support::DecodedWhole(smallCut).has_value());
    try {
        LoadPicture(Write(smallCut));
        ADD_FAILURE() << "a damaged picture that the panes show whole was accepted";
    } catch (const PlatformError& error) {
        EXPECT_EQ(error.Number(), ErrorNumber::InvalidPicture);
    }
    // A taller one shows the rows that are there; its overview, which needs them all, is empty.
    const auto tall = test_support::CompressPng(Pattern(400, 700, false), false);
    const Picture intact = *test_support::DecodedWhole(tall);
    const Picture cut = LoadPicture(
        Write({tall.begin(), tall.begin() + static_cast<std::ptrdiff_t>(tall.size() / 2)}));
    EXPECT_EQ(cut.Region(32, 32), intact.Region(32, 32));
    EXPECT_EQ(cut.Overview(80, 80), Bitmap(80, 80, PixelFormat::Colour));
}

// An icon file with the one PNG entry, its size in the directory 0: 256 or more.
std::vector<std::uint8_t> IconOfPng(const std::vector<std::uint8_t>& png) {
    std::vector<std::uint8_t> file;
    for (const std::uint32_t field : {0u, 1u, 1u, 0u, 0u, 1u, 32u})
        test_support::Put(file, field, 2);
    test_support::Put(file, static_cast<std::uint32_t>(png.size()), 4);
    test_support::Put(file, 22, 4);
    file.insert(file.end(), png.begin(), png.end());
    return file;
}

TEST_F(PngPictureTest, AnIconOfALargePngEntryIsShownFromItAndHasNoPlanesToWrite) {
    for (const bool alpha : {false, true}) {
        SCOPED_TRACE(alpha ? "alpha" : "opaque");
        const auto file = IconOfPng(test_support::CompressPng(Pattern(300, 300, alpha), false));
        const auto whole = test_support::DecodedWhole(file);
        ASSERT_TRUE(whole.has_value());
        const Picture lazy = LoadPicture(Write(file, "picture.ico"));
        EXPECT_EQ(lazy.Type(), PictureType::Icon);
        EXPECT_TRUE(lazy.DecodesOnDemand());
        for (const int side : {32, 36, 64, 301}) {
            Bitmap pane(side, side, PixelFormat::Colour, 0xFFFFFF);
            Bitmap wanted = pane;
            lazy.Render(pane);
            whole->Render(wanted);
            EXPECT_EQ(pane, wanted) << side;
            EXPECT_EQ(lazy.Region(side, side), whole->Region(side, side)) << side;
        }
        EXPECT_EQ(lazy.Overview(80, 80), whole->Overview(80, 80));
        EXPECT_EQ(lazy.Pixels(), whole->Pixels());
        // An icon file holds no more than 256 a side, so neither can be saved as one.
        for (const Picture& picture : {lazy, *whole}) {
            EXPECT_THROW(SavePicture(picture, dir.File("saved.ico")), PlatformError);
        }
    }
}

}  // namespace
}  // namespace platform
