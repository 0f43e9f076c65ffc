// The public BMP suite: good files match their reference renderings pixel for pixel, bad
// files are refused, questionable files decode or are refused without harm.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "platform/pictures/codecs/bmp_codec.h"
#include "platform/pictures/codecs/png_codec.h"
#include "tests/support/codec_test_support.h"
#include "tests/support/test_files.h"

namespace {

using namespace platform;
using namespace platform::codecs;
namespace fs = std::filesystem;

fs::path SuiteDir() {
    return test_support::CorporaDir() / "bmpsuite";
}

std::vector<fs::path> FilesIn(const std::string& folder) {
    std::vector<fs::path> files;
    for (const auto& item : fs::directory_iterator(SuiteDir() / folder))
        files.push_back(item.path());
    std::sort(files.begin(), files.end());
    return files;
}

// The picture a file should look like: its own reference, or that of the plain file of its
// kind (pal8os2 looks like pal8, rgb32bf like rgb24).
Bitmap Reference(const std::string& stem) {
    std::string name = "rgb24";
    for (const char* base : {"rgb16-565", "rgb16", "rgba32", "pal1", "pal4", "pal8"}) {
        if (stem.starts_with(base)) {
            name = base;
            break;
        }
    }
    if (fs::exists(SuiteDir() / "html" / (stem + ".png"))) name = stem;
    if (stem == "pal8nonsquare") name = "pal8nonsquare-e";  // "e": at its stored size
    auto decoded = DecodePng(test_support::ReadBytes(SuiteDir() / "html" / (name + ".png")));
    EXPECT_TRUE(decoded.Ok()) << "reference " << name;
    return decoded ? decoded.Value() : Bitmap();
}

// Empty when the pictures agree: alpha everywhere, colour wherever the reference shows one.
std::string Difference(const Bitmap& ours, const Bitmap& reference) {
    if (ours.Width() != reference.Width() || ours.Height() != reference.Height()) return "size";
    int differences = 0;
    for (int y = 0; y < ours.Height(); ++y) {
        for (int x = 0; x < ours.Width(); ++x) {
            const std::uint32_t a = ours.At(x, y), b = reference.At(x, y);
            const std::uint32_t alphaA = ours.HasAlpha() ? AlphaOf(a) : 255;
            const std::uint32_t alphaB = reference.HasAlpha() ? AlphaOf(b) : 255;
            differences += alphaA != alphaB || (alphaB != 0 && ColourOf(a) != ColourOf(b));
        }
    }
    return differences == 0 ? "" : std::to_string(differences) + " pixels differ";
}

TEST(BmpSuite, GoodFilesMatchTheirReferences) {
    const auto files = FilesIn("g");
    ASSERT_GE(files.size(), 27u);
    for (const auto& path : files) {
        auto decoded = DecodeBmp(test_support::ReadBytes(path));
        ASSERT_TRUE(decoded.Ok()) << path << ": " << decoded.Failure().detail;
        EXPECT_EQ(Difference(decoded.Value(), Reference(path.stem().string())), "") << path;
    }
}

TEST(BmpSuite, BadFilesAreRefusedWithTheirReason) {
    // Fields that do not affect the pixels are not checked, so these decode: the densities
    // and bfSize are never used, and biSizeImage matters only for compressed data.
    const std::set<std::string> harmless = {"baddens1", "baddens2", "badfilesize", "badbitssize"};
    const std::map<std::string, CodecError> reasons = {
        {"badbitcount", CodecError::BadHeader},    {"badheadersize", CodecError::BadHeader},
        {"badpalettesize", CodecError::BadHeader}, {"badplanes", CodecError::BadHeader},
        {"badrle", CodecError::Corrupt},           {"badrle4", CodecError::Corrupt},
        {"badrle4bis", CodecError::Corrupt},       {"badrle4ter", CodecError::Corrupt},
        {"badrlebis", CodecError::Corrupt},        {"badrleter", CodecError::Corrupt},
        {"badwidth", CodecError::BadDimensions},   {"pal8badindex", CodecError::Corrupt},
        {"reallybig", CodecError::LimitExceeded},  {"rgb16-880", CodecError::BadHeader},
        {"rletopdown", CodecError::BadHeader},     {"shortfile", CodecError::Truncated},
    };
    for (const auto& path : FilesIn("b")) {
        const std::string stem = path.stem().string();
        auto decoded = DecodeBmp(test_support::ReadBytes(path));
        if (harmless.count(stem)) {
            ASSERT_TRUE(decoded.Ok()) << stem << ": " << decoded.Failure().detail;
            EXPECT_EQ(Difference(decoded.Value(), Reference("pal1")), "") << stem;
            continue;
        }
        ASSERT_FALSE(decoded.Ok()) << stem;
        ASSERT_TRUE(reasons.count(stem)) << stem << ": no expected reason";
        EXPECT_EQ(decoded.Failure().error, reasons.at(stem))
            << stem << ": " << decoded.Failure().detail;
    }
}

TEST(BmpSuite, QuestionableFilesDecodeAsDrawnOrAreRefused) {
    // Variants we do not read: OS/2 Huffman 1D compression and 64-bit fixed-point pixels.
    const std::set<std::string> refused = {"pal1huffmsb", "rgba64"};
    // Decoded, but no reference shows exactly our pixels: the spare byte of a 40-byte header
    // is not alpha; transparency keys and colour profiles are not applied; the references of
    // channels wider or narrower than 8 bits show the picture before it was quantized; the
    // JPEG is lossy and the RLE24 picture is a posterized one.
    const std::set<std::string> noReference = {"rgb32fakealpha", "rgb16faketrns", "rgb24prof2",
                                               "rgba32-1010102", "rgb32-111110",  "rgb32-7187",
                                               "rgba16-1924",    "rgba32-61754",  "rgba32-81284",
                                               "rgb24jpeg",      "rgb24rle24"};
    for (const auto& path : FilesIn("q")) {
        const std::string stem = path.stem().string();
        auto decoded = DecodeBmp(test_support::ReadBytes(path));
        if (refused.count(stem)) {
            ASSERT_FALSE(decoded.Ok()) << stem;
            EXPECT_EQ(decoded.Failure().error, CodecError::Unsupported) << stem;
        } else if (stem != "rgb24jpeg" || decoded.Ok()) {  // that one needs the JPEG decoder
            ASSERT_TRUE(decoded.Ok()) << stem << ": " << decoded.Failure().detail;
            if (!noReference.count(stem)) {
                EXPECT_EQ(Difference(decoded.Value(), Reference(stem)), "") << stem;
            }
        }
    }
    // An OS/2 bitmap array holds several pictures; it is not one.
    auto array = DecodeBmp(test_support::ReadBytes(SuiteDir() / "x" / "ba-bm.bmp"));
    ASSERT_FALSE(array.Ok());
    EXPECT_EQ(array.Failure().error, CodecError::BadSignature);
}

}  // namespace
