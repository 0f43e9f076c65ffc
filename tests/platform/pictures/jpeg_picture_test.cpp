// JPEG pictures decode only what is shown; these tests prove that what is shown and written
// is what a whole decode gives.
#include "platform/pictures/sources/jpeg_picture.h"

#include <gtest/gtest.h>

#include "platform/pictures/picture_files.h"
#include "platform/platform_error.h"
#include "tests/platform/pictures/codecs/jpeg_test_writer.h"
#include "tests/platform/pictures/picture_comparison.h"
#include "tests/support/test_files.h"

namespace platform {
namespace {

using test_support::CmykStorage;
using test_support::JpegTestOptions;
using test_support::PhotoLikePattern;

struct Sampling {
    int h;
    int v;
};

constexpr Sampling kSamplings[] = {{1, 1}, {2, 1}, {1, 2}, {2, 2}, {4, 1}, {4, 2}};
// Odd sizes, sizes just past a block or an MCU, and one past the progressive overview's side.
constexpr std::pair<int, int> kSizes[] = {{1, 1},   {7, 5},    {31, 33},
                                          {33, 47}, {129, 65}, {301, 203}};

class JpegPictureTest : public ::testing::Test {
  protected:
    // The picture LoadPicture makes of the file, and the whole decode of the same file.
    std::pair<Picture, Picture> Load(const std::vector<std::uint8_t>& file) {
        const std::string path = dir.File("picture.jpg");
        test_support::WriteBytes(path, file);
        auto whole = test_support::DecodedWhole(file);
        EXPECT_TRUE(whole.has_value());
        return {LoadPicture(path), whole.value_or(Picture())};
    }
    // Panes and files: the same pixels exactly. The file holds `pattern`, noisy enough that
    // every colour sample shows at a crop edge.
    void ExpectAlike(const std::vector<std::uint8_t>& file, const std::string& what) {
        SCOPED_TRACE(what);
        const auto [lazy, whole] = Load(file);
        EXPECT_TRUE(lazy.DecodesOnDemand());
        EXPECT_TRUE(test_support::DrawsAndWritesAlike(lazy, whole, dir.Path().string()));
        // Asked for its natural size or more, the overview is Scale's own, exactly.
        EXPECT_TRUE(
            test_support::OverviewNear(lazy, whole, whole.Width(), whole.Height() + 1, 0, 0));
        // Smaller, it is averaged from blocks (DCT scaling) or from a kept box-averaged copy
        // (progressive files): on such noise a few levels off where a block or a kept pixel
        // falls in two boxes.
        EXPECT_TRUE(test_support::OverviewNear(lazy, whole, 80, 80, 12, 1.0));
    }
    // The overview of a photograph, with its few levels of noise, is within 3 levels of Scale
    // of the whole decode.
    void ExpectOverviewClose(const std::vector<std::uint8_t>& file, const std::string& what) {
        SCOPED_TRACE(what);
        const auto [lazy, whole] = Load(file);
        EXPECT_TRUE(test_support::OverviewNear(lazy, whole, 80, 80, 3, 0.5));
        EXPECT_TRUE(test_support::OverviewNear(lazy, whole, 23, 41, 3, 0.5));
    }

    test_support::TempDir dir;
};

TEST_F(JpegPictureTest, ShowsAndWritesWhatAWholeDecodeGivesAtEverySamplingAndSize) {
    for (const auto& [width, height] : kSizes) {
        for (const Sampling sampling : kSamplings) {
            for (const bool progressive : {false, true}) {
                JpegTestOptions options;
                options.hSampling = sampling.h;
                options.vSampling = sampling.v;
                options.progressive = progressive;
                const std::string what = std::to_string(width) + "x" + std::to_string(height) +
                                         " sampled " + std::to_string(sampling.h) + "x" +
                                         std::to_string(sampling.v) +
                                         (progressive ? " progressive" : " baseline");
                ExpectAlike(
                    test_support::CompressJpegColour(PhotoLikePattern(width, height), options),
                    what);
                ExpectOverviewClose(test_support::CompressJpegColour(
                                        PhotoLikePattern(width, height, 2, 4), options),
                                    what + ", photograph");
            }
        }
    }
}

TEST_F(JpegPictureTest, ShowsWhatAWholeDecodeGivesWithRestartIntervalsAndArithmeticCoding) {
    for (const int interval : {0, 1, 3}) {
        for (const bool progressive : {false, true}) {
            for (const bool arithmetic : {false, true}) {
                if (interval == 0 && !arithmetic) continue;  // the test above
                JpegTestOptions options;
                options.hSampling = 2;
                options.vSampling = 2;
                options.restartInterval = interval;
                options.progressive = progressive;
                options.arithmetic = arithmetic;
                ExpectAlike(test_support::CompressJpegColour(PhotoLikePattern(150, 90), options),
                            "restart every " + std::to_string(interval) +
                                (arithmetic ? ", arithmetic" : "") +
                                (progressive ? ", progressive" : ""));
            }
        }
    }
}

TEST_F(JpegPictureTest, ShowsWhatAWholeDecodeGivesForGreyAndCmykFiles) {
    for (const auto& [width, height] : {std::pair{45, 37}, std::pair{300, 210}}) {
        const Bitmap pattern = PhotoLikePattern(width, height);
        std::vector<std::uint8_t> grey, cmyk;
        for (std::uint32_t p : pattern.Pixels()) {
            grey.push_back(static_cast<std::uint8_t>(p & 0xFF));
            for (int shift : {0, 8, 16, 0}) cmyk.push_back(static_cast<std::uint8_t>(~p >> shift));
        }
        for (const bool progressive : {false, true}) {
            JpegTestOptions options;
            options.progressive = progressive;
            ExpectAlike(test_support::CompressJpegGrey(grey, width, height, options), "grey");
            for (const CmykStorage storage :
                 {CmykStorage::AdobeYcck, CmykStorage::AdobeCmyk, CmykStorage::PlainCmyk}) {
                options.hSampling = storage == CmykStorage::AdobeYcck ? 2 : 1;
                ExpectAlike(test_support::CompressJpegCmyk(cmyk, width, height, storage, options),
                            "CMYK stored as " + std::to_string(static_cast<int>(storage)));
            }
        }
    }
}

// An overview far smaller than the picture comes from an eighth made by the DCT, of a
// progressive file from its DC scans alone: on a photograph within 3 levels of the whole
// decode's, as a baseline file's.
TEST_F(JpegPictureTest, TheOverviewOfALargeFileIsCloseToThatOfAWholeDecode) {
    const Bitmap photograph = PhotoLikePattern(960, 720, 3, 4);
    std::vector<std::uint8_t> grey;
    for (std::uint32_t p : photograph.Pixels()) grey.push_back(static_cast<std::uint8_t>(p >> 8));
    for (const bool progressive : {true, false}) {
        JpegTestOptions options;
        options.progressive = progressive;
        const std::string kind = progressive ? "progressive" : "baseline";
        ExpectOverviewClose(test_support::CompressJpegGrey(grey, 960, 720, options),
                            kind + " grey");
        for (const Sampling sampling : {Sampling{1, 1}, Sampling{2, 1}, Sampling{2, 2}}) {
            options.hSampling = sampling.h;
            options.vSampling = sampling.v;
            ExpectOverviewClose(
                test_support::CompressJpegColour(photograph, options),
                kind + " sampled " + std::to_string(sampling.h) + "x" + std::to_string(sampling.v));
        }
    }
}

// Cut at every length: the picture that decodes on demand must accept exactly the files the
// whole decode accepts, and show the same of each.
TEST_F(JpegPictureTest, AcceptsAndShowsExactlyWhatAWholeDecodeDoesForEveryCutOfAFile) {
    for (const bool progressive : {false, true}) {
        JpegTestOptions options;
        options.hSampling = 2;
        options.vSampling = 2;
        options.progressive = progressive;
        options.restartInterval = progressive ? 0 : 2;
        const std::vector<std::uint8_t> file =
            test_support::CompressJpegColour(PhotoLikePattern(70, 50), options);
        const std::string path = dir.File("cut.jpg");
        for (std::size_t length = 0; length <= file.size(); length += 3) {
            SCOPED_TRACE((progressive ? "progressive cut at " : "baseline cut at ") +
                         std::to_string(length));
            const std::vector<std::uint8_t> cut(file.begin(),
                                                file.begin() + static_cast<std::ptrdiff_t>(length));
            test_support::WriteBytes(path, cut);
            const auto whole = test_support::DecodedWhole(cut);
            Picture lazy;
            bool loaded = true;
            try {
                lazy = LoadPicture(path);
            } catch (const PlatformError& error) {
                loaded = false;
                EXPECT_EQ(error.Number(), ErrorNumber::InvalidPicture);
            }
            ASSERT_EQ(loaded, whole.has_value());
            if (!loaded) continue;
            Bitmap shown(36, 36, PixelFormat::Colour, 0xFFFFFF), wanted = shown;
            lazy.Render(shown);
            whole->Render(wanted);
            ASSERT_EQ(shown, wanted);
            ASSERT_TRUE(test_support::OverviewNear(lazy, *whole, 80, 80, 3, 0.5));
        }
    }
}

// libjpeg smooths a file whose coefficients are not all refined (one cut short, say) across
// block rows, up to two below. The first rows of such a file, decoded from a frame cut short
// below them, must still be exactly what a whole decode shows.
TEST_F(JpegPictureTest, ShowsWhatAWholeDecodeGivesOfTheTopOfAProgressiveFileCutAnywhere) {
    constexpr int kWidth = 90, kHeight = 260;
    const Bitmap pattern = PhotoLikePattern(kWidth, kHeight);
    std::vector<std::uint8_t> grey;
    for (std::uint32_t p : pattern.Pixels()) grey.push_back(static_cast<std::uint8_t>(p >> 8));
    JpegTestOptions options;
    options.progressive = true;
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;
    files.emplace_back("grey", test_support::CompressJpegGrey(grey, kWidth, kHeight, options));
    for (const Sampling sampling : {Sampling{1, 1}, Sampling{2, 2}}) {
        options.hSampling = sampling.h;
        options.vSampling = sampling.v;
        files.emplace_back(
            "sampled " + std::to_string(sampling.h) + "x" + std::to_string(sampling.v),
            test_support::CompressJpegColour(pattern, options));
    }
    options.arithmetic = true;
    options.restartInterval = 2;
    files.emplace_back("arithmetic, restarts", test_support::CompressJpegColour(pattern, options));
    const std::string path = dir.File("cut.jpg");
    for (const auto& [what, file] : files) {
        for (int step = 1; step <= 50; ++step) {
            const std::size_t length = file.size() * static_cast<std::size_t>(step) / 50;
            SCOPED_TRACE(what + " cut at " + std::to_string(length));
            const std::vector<std::uint8_t> cut(file.begin(),
                                                file.begin() + static_cast<std::ptrdiff_t>(length));
            test_support::WriteBytes(path, cut);
            const auto whole = test_support::DecodedWhole(cut);
            if (!whole) {  // cut inside the header
                EXPECT_THROW(LoadPicture(path), PlatformError);
                continue;
            }
            const Picture lazy = LoadPicture(path);
            // Rows ending on an MCU row and just past one, where a frame edge would show.
            for (const auto& [width, height] : {std::pair{32, 32}, {48, 48}, {33, 49}, {90, 100}}) {
                ASSERT_EQ(lazy.Region(width, height), whole->Region(width, height))
                    << width << "x" << height;
            }
        }
    }
}

}  // namespace
}  // namespace platform
