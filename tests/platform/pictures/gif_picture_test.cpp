// GIF pictures decode only the rows shown; what is shown and written is what a whole decode
// gives, however the frame lies on its screen.
#include "platform/pictures/sources/gif_picture.h"

#include <gtest/gtest.h>

#include "platform/pictures/picture_files.h"
#include "platform/platform_error.h"
#include "tests/platform/pictures/codecs/gif_test_writer.h"
#include "tests/platform/pictures/picture_comparison.h"
#include "tests/support/test_files.h"

namespace platform {
namespace {

using test_support::GifColours;
using test_support::GifTestFile;
using test_support::GifTestFrame;

GifColours Ramp() {
    GifColours colours;
    for (std::uint32_t i = 0; i < 256; ++i)
        colours.push_back(i | (255 - i) << 8 | (i * 7 % 256) << 16);
    return colours;
}

GifTestFrame Frame(int left, int top, int width, int height, bool interlaced,
                   int transparent = -1) {
    GifTestFrame frame{.left = left,
                       .top = top,
                       .width = width,
                       .height = height,
                       .interlaced = interlaced,
                       .transparentIndex = transparent};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            frame.indices.push_back(static_cast<std::uint8_t>((x * 3 + y * 5 + x * y) % 256));
    }
    return frame;
}

class GifPictureTest : public ::testing::Test {
  protected:
    // Loads the file both ways; nullopt for the whole decode when it refuses the file, and
    // then LoadPicture must refuse it too.
    std::optional<std::pair<Picture, Picture>> Load(const std::vector<std::uint8_t>& file) {
        const std::string path = dir.File("picture.gif");
        test_support::WriteBytes(path, file);
        const auto whole = test_support::DecodedWhole(file);
        try {
            Picture lazy = LoadPicture(path);
            EXPECT_TRUE(whole.has_value()) << "accepted what the whole decode refuses";
            if (!whole) return std::nullopt;
            return std::pair{lazy, *whole};
        } catch (const PlatformError& error) {
            EXPECT_EQ(error.Number(), ErrorNumber::InvalidPicture);
            EXPECT_FALSE(whole.has_value()) << "refused what the whole decode accepts";
            return std::nullopt;
        }
    }

    test_support::TempDir dir;
};

TEST_F(GifPictureTest, ShowsAndWritesWhatAWholeDecodeGivesWhereverTheFrameLies) {
    const struct {
        const char* what;
        int screenWidth, screenHeight;
        GifTestFrame frame;
    } cases[] = {
        {"covering", 150, 140, Frame(0, 0, 150, 140, false)},
        {"interlaced and taller than the kept region", 90, 300, Frame(0, 0, 90, 300, true)},
        {"with a transparent index", 60, 200, Frame(0, 0, 60, 200, false, 7)},
        {"offset and clipped", 100, 100, Frame(30, 50, 120, 90, false)},
        {"interlaced, offset and clipped", 100, 170, Frame(5, 20, 90, 200, true)},
        {"below the rows shown", 40, 300, Frame(0, 200, 40, 50, false)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto pictures = Load(test_support::WriteGif({.screenWidth = c.screenWidth,
                                                           .screenHeight = c.screenHeight,
                                                           .globalColours = Ramp(),
                                                           .frames = {c.frame}}));
        ASSERT_TRUE(pictures.has_value());
        const auto& [lazy, whole] = *pictures;
        EXPECT_TRUE(lazy.DecodesOnDemand());
        EXPECT_TRUE(test_support::DrawsAndWritesAlike(lazy, whole, dir.Path().string()));
        // Every row is read for the overview and scaled as Scale does: exactly equal.
        EXPECT_TRUE(test_support::OverviewNear(lazy, whole, 80, 80, 0, 0));
        EXPECT_TRUE(test_support::OverviewNear(lazy, whole, 301, 13, 0, 0));
    }
}

// A frame cut anywhere: the same files accepted, the same rows shown, transparent below.
TEST_F(GifPictureTest, AcceptsAndShowsExactlyWhatAWholeDecodeDoesForEveryCutOfAFile) {
    for (const bool interlaced : {false, true}) {
        const std::vector<std::uint8_t> file =
            test_support::WriteGif({.screenWidth = 40,
                                    .screenHeight = 45,
                                    .globalColours = Ramp(),
                                    .frames = {Frame(0, 0, 40, 45, interlaced)}});
        for (std::size_t length = 0; length <= file.size(); length += 5) {
            SCOPED_TRACE((interlaced ? "interlaced, cut at " : "cut at ") + std::to_string(length));
            const auto pictures =
                Load({file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length)});
            if (!pictures) continue;
            const auto& [lazy, whole] = *pictures;
            Bitmap shown(36, 36, PixelFormat::Colour, 0xFFFFFF), wanted = shown;
            lazy.Render(shown);
            whole.Render(wanted);
            ASSERT_EQ(shown, wanted);
            ASSERT_TRUE(test_support::OverviewNear(lazy, whole, 80, 80, 0, 0));
        }
    }
}

}  // namespace
}  // namespace platform
