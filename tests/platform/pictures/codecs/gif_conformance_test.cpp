// Our first frame of every GIF in the public test suite against the suite's own rendering.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/pictures/codecs/gif_codec.h"
#include "platform/pictures/codecs/png_codec.h"
#include "tests/support/test_files.h"

namespace {

namespace fs = std::filesystem;
using platform::Bitmap;

// The pixel as seen on screen: alpha counts only in a bitmap that has it, and the colour
// under full transparency is nobody's business (references store whatever their writer had).
std::uint32_t Visible(const Bitmap& pixels, int x, int y) {
    const std::uint32_t p = pixels.At(x, y);
    if (!pixels.HasAlpha()) return p | 0xFF000000u;
    return (p >> 24) == 0 ? 0 : p;
}

// The reference for the first frame: NAME-0.png for animations, NAME.png for still files.
fs::path ReferenceFor(const fs::path& gif) {
    const fs::path frames = gif.parent_path() / "frames";
    const fs::path first = frames / (gif.stem().string() + "-0.png");
    return fs::exists(first) ? first : frames / (gif.stem().string() + ".png");
}

TEST(GifConformance, FirstFrameOfEverySuiteFileEqualsItsReferenceRendering) {
    const fs::path suite = test_support::CorporaDir() / "gif-test-suite";
    ASSERT_TRUE(fs::is_directory(suite)) << suite;
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(suite)) {
        if (entry.path().extension() != ".gif") continue;
        const fs::path reference = ReferenceFor(entry.path());
        if (!fs::exists(reference)) continue;
        SCOPED_TRACE(entry.path().filename().string());

        auto ours = platform::codecs::DecodeGif(test_support::ReadBytes(entry.path()));
        auto theirs = platform::codecs::DecodePng(test_support::ReadBytes(reference));
        ASSERT_TRUE(ours.Ok()) << ours.Failure().detail;
        ASSERT_TRUE(theirs.Ok()) << theirs.Failure().detail;
        const Bitmap& a = ours.Value();
        const Bitmap& b = theirs.Value();
        ASSERT_EQ(a.Width(), b.Width());
        ASSERT_EQ(a.Height(), b.Height());
        int differences = 0;
        for (int y = 0; y < a.Height(); ++y) {
            for (int x = 0; x < a.Width(); ++x) {
                if (Visible(a, x, y) != Visible(b, x, y) && ++differences <= 3) {
                    ADD_FAILURE() << "at " << x << "," << y << std::hex << ": ours 0x"
                                  << Visible(a, x, y) << ", reference 0x" << Visible(b, x, y);
                }
            }
        }
        EXPECT_EQ(differences, 0);
        ++compared;
    }
    EXPECT_GE(compared, 13);
}

}  // namespace
