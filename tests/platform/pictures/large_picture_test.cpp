// Memory and reading follow what is shown: a large picture costs what the panes and the
// overview show of it, and a file that claims a huge size costs no more.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "platform/forms/image_control.h"
#include "platform/forms/picture_box.h"
#include "platform/pictures/picture_files.h"
#include "platform/platform_error.h"
#include "tests/platform/pictures/codecs/gif_test_writer.h"
#include "tests/platform/pictures/codecs/jpeg_test_writer.h"
#include "tests/platform/pictures/picture_comparison.h"
#include "tests/support/resident_memory.h"
#include "tests/support/test_files.h"

namespace platform {
namespace {

using test_support::PeakGrowth;

// A field of /proc/self/status or /proc/self/io, or -1.
long long ProcField(const char* file, const std::string& name) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(name + ":", 0) == 0) return std::stoll(line.substr(name.size() + 1));
    }
    return -1;
}

// Bytes this process has read from files so far.
long long BytesRead() {
    return ProcField("/proc/self/io", "rchar");
}

class LargePictureTest : public ::testing::Test {
  protected:
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::string path = dir.File(name);
        test_support::WriteBytes(path, bytes);
        return path;
    }
    test_support::TempDir dir;
};

std::vector<std::uint8_t> PhotoJpeg(int width, int height, bool progressive) {
    test_support::JpegTestOptions options;
    options.hSampling = 2;
    options.vSampling = 2;
    options.progressive = progressive;
    return test_support::CompressJpegColour(test_support::PhotoLikePattern(width, height), options);
}

TEST_F(LargePictureTest, PanesReadOnlyTheTopOfABaselineFileAndTheOverviewReadsItAll) {
    const std::vector<std::uint8_t> file = PhotoJpeg(2000, 1600, false);
    const std::string path = Write("photo.jpg", file);
    ASSERT_GE(BytesRead(), 0) << "no /proc/self/io";
    // The header, and the rows down to the last one shown (and the next block row, which
    // smoothing the colours looks at), read in 64 KB pieces.
    const long long bound = static_cast<long long>(file.size()) / 8;

    long long start = BytesRead();
    const Picture picture = LoadPicture(path);
    Bitmap pane(32, 32, PixelFormat::Colour, 0xFFFFFF);
    picture.Render(pane);
    EXPECT_LT(BytesRead() - start, bound);
    start = BytesRead();
    picture.Region(64, 64);  // inside the pane of the largest icon size
    EXPECT_LT(BytesRead() - start, bound);

    start = BytesRead();
    picture.Overview(80, 80);
    EXPECT_GE(BytesRead() - start, static_cast<long long>(file.size()));
}

// Every scan of a progressive file holds some of the first rows, so opening reads it all: its
// markers walked, and for the panes the first rows of each scan. Its overview reads the DC
// scans alone, a few per cent of the file.
TEST_F(LargePictureTest, AProgressiveFileIsReadOnOpeningAndItsOverviewReadsOnlyItsDcScans) {
    const std::vector<std::uint8_t> file = PhotoJpeg(1600, 1200, true);
    const std::string path = Write("photo.jpg", file);
    long long start = BytesRead();
    const Picture picture = LoadPicture(path);
    const long long opened = BytesRead() - start;
    EXPECT_GE(opened, static_cast<long long>(file.size()));
    EXPECT_LT(opened, 2 * static_cast<long long>(file.size()));

    start = BytesRead();
    Bitmap pane(32, 32, PixelFormat::Colour, 0xFFFFFF);
    picture.Render(pane);
    // Reading /proc/self/io is itself a read of a hundred bytes or so.
    EXPECT_LT(BytesRead() - start, 1024) << "the panes' region was decoded again";
    start = BytesRead();
    picture.Overview(80, 80);
    EXPECT_LT(BytesRead() - start, static_cast<long long>(file.size()) / 8);
}

// libjpeg holds every coefficient of a progressive file while it reads it, 2 bytes a sample;
// told that the frame ends a little below the rows shown, it holds theirs alone.
TEST_F(LargePictureTest, AProgressiveFilesPanesTakeTheMemoryOfTheirRowsOnly) {
    // 4:2:0 samples, 1.5 a pixel: 11.5 MB of coefficients in all.
    const std::string path = Write("photo.jpg", PhotoJpeg(2400, 1600, true));
    long long growth = 0;
    const bool measured = PeakGrowth(
        [&] {
            const Picture picture = LoadPicture(path);
            EXPECT_EQ(picture.Region(64, 64).Width(), 64);
        },
        growth);
    if (!measured) GTEST_SKIP() << "the resident memory's high-water mark cannot be reset";
    EXPECT_LT(growth, 3ll << 20);
}

// Its overview is read from the DC scans a row of blocks at a time: a whole decode would hold
// 72 MB of coefficients for this 24-megapixel picture.
TEST_F(LargePictureTest, AProgressiveFilesOverviewTakesTheMemoryOfARowOfBlocks) {
    const std::string path = Write("photo.jpg", PhotoJpeg(6000, 4000, true));
    const Picture picture = LoadPicture(path);
    long long growth = 0;
    const bool measured = PeakGrowth(
        [&] {
            const Bitmap overview = picture.Overview(80, 80);
            EXPECT_NE(overview.At(40, 40), 0u);
        },
        growth);
    if (!measured) GTEST_SKIP() << "the resident memory's high-water mark cannot be reset";
    EXPECT_LT(growth, 8ll << 20);
}

// Arithmetic coding describes any number of blocks in a few bytes: this file of a few hundred
// claims 11585 x 11585, 268 MB of coefficients held whole. Its overview holds a row of blocks.
TEST_F(LargePictureTest, AnArithmeticCodedFilesOverviewTakesTheMemoryOfARowOfBlocks) {
    std::vector<std::uint8_t> grey(24 * 24);
    for (std::size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<std::uint8_t>(i * 7);
    std::vector<std::uint8_t> file =
        test_support::CompressJpegGrey(grey, 24, 24, {.progressive = true, .arithmetic = true});
    for (std::size_t i = 0; i + 8 < file.size(); ++i) {
        if (file[i] != 0xFF || file[i + 1] != 0xCA) continue;
        for (const std::size_t side : {i + 5, i + 7}) {
            file[side] = 11585 >> 8;
            file[side + 1] = 11585 & 0xFF;
        }
        break;
    }
    const Picture picture = LoadPicture(Write("claims.jpg", file));
    long long growth = 0;
    const bool measured = PeakGrowth(
        [&] {
            const Bitmap overview = picture.Overview(80, 80);
            EXPECT_NE(overview.At(40, 40), 0u);
        },
        growth);
    if (!measured) GTEST_SKIP() << "the resident memory's high-water mark cannot be reset";
    EXPECT_LT(growth, 8ll << 20);
}

TEST_F(LargePictureTest, PanesReadOnlyTheFirstRowsOfAGif) {
    test_support::GifTestFrame frame{.width = 800, .height = 2400};
    frame.indices.assign(800 * 2400, 3);
    const std::vector<std::uint8_t> file =
        test_support::WriteGif({.screenWidth = 800,
                                .screenHeight = 2400,
                                .globalColours = test_support::GifColours(8, 0x336699),
                                .frames = {frame}});
    const std::string path = Write("big.gif", file);
    const long long start = BytesRead();
    const Picture picture = LoadPicture(path);
    Bitmap pane(32, 32, PixelFormat::Colour, 0xFFFFFF);
    picture.Render(pane);
    EXPECT_EQ(pane.At(5, 5), 0x336699u);
    EXPECT_LT(BytesRead() - start, static_cast<long long>(file.size()) / 5);
}

// The window's own use of a picture picked into Picture3: a pane that grows to the picture's
// size and is painted where the window shows it; the stretched image control's overview;
// then the pane at an icon size, read by the conversion.
void UseLikeTheWindow(const Picture& picture) {
    Gdi gdi;
    PictureBox pane(gdi, "Picture3");
    pane.Move(10, 72, 36, 36);
    pane.SetAutoSize(true);
    pane.SetPicture(picture);
    EXPECT_EQ(pane.InnerWidth(), picture.Width());
    pane.ShownPart(0, 0, 120, 16);  // all the 132 x 90 client area shows of it
    ImageControl preview("imgPreview");
    preview.Move(8, 0, 80, 80);
    preview.SetStretch(true);
    preview.SetPicture(picture);
    preview.Overview();
    pane.SetWidth(36);
    pane.SetHeight(36);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) pane.Point(static_cast<float>(x), static_cast<float>(y));
    }
}

// A file may claim up to the picture limit with a few bytes; a whole decode of the size below
// would take 11000 x 11000 x 4 = 484 MB.
constexpr int kClaimedSide = 11000;
constexpr long long kAllowedGrowth = 48ll << 20;

std::vector<std::uint8_t> ClaimingHugeSize(std::vector<std::uint8_t> jpeg) {
    // The frame header (FFC0 or FFC2) holds the height and width after its length and precision.
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = jpeg[i + 7] = kClaimedSide >> 8;
            jpeg[i + 6] = jpeg[i + 8] = kClaimedSide & 0xFF;
            return jpeg;
        }
    }
    ADD_FAILURE() << "no frame header";
    return jpeg;
}

TEST_F(LargePictureTest, AFileClaimingAHugeSizeCostsWhatIsShownOfIt) {
    test_support::GifTestFrame frame{.width = 10, .height = 10};
    frame.indices.assign(100, 1);
    const std::string gif = Write(
        "huge.gif", test_support::WriteGif({.screenWidth = kClaimedSide,
                                            .screenHeight = kClaimedSide,
                                            .globalColours = test_support::GifColours{0, 0xFF},
                                            .frames = {frame}}));
    const std::string jpeg = Write("huge.jpg", ClaimingHugeSize(PhotoJpeg(64, 64, false)));
    // Its coefficients would take 363 MB, within the limit: only the first rows are decoded for
    // the panes, and its overview no further than its data reaches.
    const std::string progressive =
        Write("huge_progressive.jpg", ClaimingHugeSize(PhotoJpeg(64, 64, true)));
    for (const std::string& path : {gif, jpeg, progressive}) {
        SCOPED_TRACE(path);
        long long growth = 0;
        const bool measured = PeakGrowth(
            [&] {
                const Picture picture = LoadPicture(path);
                EXPECT_EQ(picture.Width(), kClaimedSide);
                UseLikeTheWindow(picture);
            },
            growth);
        if (!measured) GTEST_SKIP() << "the resident memory's high-water mark cannot be reset";
        EXPECT_LT(growth, kAllowedGrowth);
    }
}

TEST_F(LargePictureTest, ABmpClaimingMoreRowsThanItHoldsIsRefusedWithoutTakingTheirMemory) {
    // A 24-bit header for 11000 x 11000 pixels, followed by 2 MB of them.
    std::vector<std::uint8_t> bmp = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0};
    for (const std::uint32_t value : {std::uint32_t{kClaimedSide}, std::uint32_t{kClaimedSide}})
        for (int i = 0; i < 4; ++i) bmp.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    bmp.insert(bmp.end(), {1, 0, 24, 0});
    bmp.resize(54 + (2 << 20), 0x80);
    const std::string path = Write("huge.bmp", bmp);
    long long growth = 0;
    const bool measured = PeakGrowth(
        [&] {
            try {
                LoadPicture(path);
                ADD_FAILURE() << "loaded";
            } catch (const PlatformError& error) {
                EXPECT_EQ(error.Number(), ErrorNumber::InvalidPicture);
            }
        },
        growth);
    if (!measured) GTEST_SKIP() << "the resident memory's high-water mark cannot be reset";
    EXPECT_LT(growth, kAllowedGrowth);
}

TEST_F(LargePictureTest, AProgressiveFileWhoseCoefficientsPassThePictureLimitIsRefused) {
    // Progressive coefficients must all be held: 2 bytes per sample, three full-size samples
    // per pixel without subsampling, 726 MB for this size, more than a picture at the limit.
    test_support::JpegTestOptions options;
    options.progressive = true;
    const std::string path =
        Write("huge.jpg", ClaimingHugeSize(test_support::CompressJpegColour(
                              test_support::PhotoLikePattern(64, 64), options)));
    try {
        LoadPicture(path);
        ADD_FAILURE() << "loaded";
    } catch (const PlatformError& error) {
        EXPECT_EQ(error.Number(), ErrorNumber::InvalidPicture);
    }
}

}  // namespace
}  // namespace platform
