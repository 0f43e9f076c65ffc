// Every public corpus file through LoadPicture against its whole decode: the same files
// accepted, the same pixels shown, the same bytes written, the same overview.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/pictures/picture_files.h"
#include "platform/platform_error.h"
#include "tests/platform/pictures/picture_comparison.h"
#include "tests/support/codec_test_support.h"
#include "tests/support/test_files.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// The JPEG file inside a bitmap of compression 4 (which is RLE24 in a 64-byte OS/2 header),
// written beside the others; or nothing.
std::optional<std::string> WrappedJpeg(const std::vector<std::uint8_t>& file,
                                       const test_support::TempDir& dir) {
    const std::uint32_t headerSize = file.size() < 54 ? 0 : test_support::Get32(file, 14);
    if (headerSize < 40 || headerSize == 64 || file[0] != 'B' ||
        test_support::Get32(file, 30) != 4) {
        return std::nullopt;
    }
    const std::size_t offset = std::min<std::size_t>(test_support::Get32(file, 10), file.size());
    const std::size_t size = test_support::Get32(file, 34);
    const std::string path = dir.File("wrapped.jpg");
    test_support::WriteBytes(
        path, test_support::Slice(file, offset,
                                  size ? std::min(offset + size, file.size()) : file.size()));
    return path;
}

// `tolerance` is for an overview much smaller than the picture, which a JPEG makes from its
// blocks' averages: on drawings with sharp edges those differ from Scale's by several levels.
void ExpectEveryFileAlike(const fs::path& folder, const std::string& extension, int tolerance = 0,
                          double meanTolerance = 0) {
    ASSERT_TRUE(fs::is_directory(folder)) << folder;
    test_support::TempDir dir;
    int compared = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.path().extension() != extension) continue;
        SCOPED_TRACE(entry.path().string());
        const auto bytes = test_support::ReadBytes(entry.path());
        const auto whole = test_support::DecodedWhole(bytes);
        Picture lazy;
        bool loaded = true;
        try {
            lazy = LoadPicture(entry.path().string());
        } catch (const PlatformError&) {
            loaded = false;
        }
        ASSERT_EQ(loaded, whole.has_value());
        if (!loaded) continue;
        EXPECT_TRUE(test_support::DrawsAndWritesAlike(lazy, *whole, dir.Path().string()));
        // A wrapped JPEG is that JPEG file, whose small overviews come from its DCT blocks.
        const auto jpeg = WrappedJpeg(bytes, dir);
        const Picture scaled = jpeg ? LoadPicture(*jpeg) : *whole;
        EXPECT_TRUE(test_support::OverviewNear(lazy, scaled, 80, 80, 0, 0));
        EXPECT_TRUE(test_support::OverviewNear(lazy, scaled, 7, 3, tolerance, meanTolerance));
        ++compared;
    }
    EXPECT_GT(compared, 0) << "no " << extension << " file in " << folder;
}

TEST(PictureCorpora, GifSuiteShowsAndWritesWhatAWholeDecodeGives) {
    ExpectEveryFileAlike(test_support::CorporaDir() / "gif-test-suite", ".gif");
}

TEST(PictureCorpora, BmpSuiteShowsAndWritesWhatAWholeDecodeGives) {
    ExpectEveryFileAlike(test_support::CorporaDir() / "bmpsuite", ".bmp");
}

TEST(PictureCorpora, PngSuiteShowsAndWritesWhatAWholeDecodeGives) {
    ExpectEveryFileAlike(test_support::CorporaDir() / "pngsuite", ".png");
}

// The corpora hold one JPEG; our fuzz seeds add progressive, arithmetic, grey, CMYK and
// restart-marker files.
TEST(PictureCorpora, JpegFilesShowAndWriteWhatAWholeDecodeGives) {
    ExpectEveryFileAlike(test_support::CorporaDir() / "bmpsuite", ".jpg", 16, 3.0);
    ExpectEveryFileAlike(test_support::SourceDir() / "tests" / "fuzz" / "seeds" / "jpeg", ".jpg");
}

TEST(PictureCorpora, IconsAndCursorsShowAndWriteWhatAWholeDecodeGives) {
    ExpectEveryFileAlike(test_support::CorporaDir() / "pillow-ico-cur", ".ico");
    ExpectEveryFileAlike(test_support::CorporaDir() / "pillow-ico-cur", ".cur");
}

}  // namespace
}  // namespace platform
