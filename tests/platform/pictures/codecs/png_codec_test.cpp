#include "platform/pictures/codecs/png_codec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/support/codec_test_support.h"
#include "tests/support/test_files.h"

namespace {

using namespace platform;
using namespace platform::codecs;
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using test_support::RefusalOf;

fs::path SuiteDir() {
    return test_support::CorporaDir() / "pngsuite";
}

std::vector<fs::path> PngFilesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& item : fs::directory_iterator(folder)) {
        if (item.path().extension() == ".png") files.push_back(item.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Pillow's decoding as RGBA bytes, or nothing when Pillow is not there.
std::optional<Bytes> PillowRgba(const fs::path& file) {
    const std::string command =
        "/usr/bin/python3 -c 'import sys; from PIL import Image; sys.stdout.buffer.write("
        "Image.open(sys.argv[1]).convert(\"RGBA\").tobytes())' '" +
        file.string() + "' 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return std::nullopt;
    Bytes bytes;
    for (int c; (c = std::fgetc(pipe)) != EOF;) bytes.push_back(static_cast<std::uint8_t>(c));
    if (::pclose(pipe) != 0) return std::nullopt;
    return bytes;
}

TEST(PngDecoder, DecodesEverySuiteFileWithAlphaOnlyWhereTheFileHasIt) {
    const auto files = PngFilesIn(SuiteDir());
    ASSERT_GE(files.size(), 50u);
    for (const auto& path : files) {
        const std::string name = path.filename().string();
        SCOPED_TRACE(name);
        const Bytes bytes = test_support::ReadBytes(path);
        auto decoded = DecodePng(bytes);
        ASSERT_TRUE(decoded.Ok()) << decoded.Failure().detail;
        EXPECT_EQ(decoded.Value().Width() + decoded.Value().Height(), 64);
        // Colour types 4 and 6 have alpha; others have it through a tRNS chunk.
        const bool transparent =
            bytes[25] == 4 || bytes[25] == 6 ||
            std::string(bytes.begin(), bytes.end()).find("tRNS") != std::string::npos;
        EXPECT_EQ(decoded.Value().HasAlpha(), transparent);
        if (name[0] == 'i') {
            auto plain = DecodePng(test_support::ReadBytes(SuiteDir() / name.substr(1)));
            ASSERT_TRUE(plain.Ok());
            EXPECT_TRUE(decoded.Value() == plain.Value()) << "differs from its plain twin";
        }
    }
    // 16-bit samples keep their high byte, whatever the gAMA chunk says.
    auto grey16 = DecodePng(test_support::ReadBytes(SuiteDir() / "basn0g16.png"));
    ASSERT_TRUE(grey16.Ok());
    EXPECT_EQ(grey16.Value().At(5, 3), 0x333333u);  // stored 0x3300
}

TEST(PngDecoder, AgreesWithPillowOnEverySuiteFile) {
    for (const auto& path : PngFilesIn(SuiteDir())) {
        const std::string name = path.filename().string();
        // Pillow clips 16-bit grey to 255 where we keep the high byte, and compares a 4-bit
        // grey transparency key with samples it has already widened to 8 bits.
        if (name.find("0g16") != std::string::npos || name == "ftbbn0g04.png") continue;
        const auto expected = PillowRgba(path);
        if (!expected) GTEST_SKIP() << "Pillow is not available";
        auto decoded = DecodePng(test_support::ReadBytes(path));
        ASSERT_TRUE(decoded.Ok());
        const Bitmap& bitmap = decoded.Value();
        ASSERT_EQ(expected->size(), bitmap.Pixels().size() * 4);
        int differences = 0;
        for (std::size_t i = 0; i < bitmap.Pixels().size(); ++i) {
            const std::uint32_t pixel = bitmap.Pixels()[i];
            const std::uint8_t* rgba = expected->data() + 4 * i;
            const std::uint32_t alpha = bitmap.HasAlpha() ? AlphaOf(pixel) : 255;
            differences +=
                ColourOf(pixel) != (std::uint32_t{rgba[0]} | std::uint32_t{rgba[1]} << 8 |
                                    std::uint32_t{rgba[2]} << 16) ||
                alpha != rgba[3];
        }
        EXPECT_EQ(differences, 0) << name;
    }
}

TEST(PngDecoder, RefusesTheKnownCrashFiles) {
    for (const auto& path : PngFilesIn(SuiteDir() / "crashers")) {
        const std::string name = path.stem().string();
        auto decoded = DecodePng(test_support::ReadBytes(path));
        if (name == "empty_ancillary_chunks") {
            // Its picture chunks are sound; empty ancillary chunks are skipped, as the format
            // lets a reader do with ancillary chunks it cannot use.
            ASSERT_TRUE(decoded.Ok()) << decoded.Failure().detail;
            EXPECT_EQ(decoded.Value().Width(), 1);
            continue;
        }
        ASSERT_FALSE(decoded.Ok()) << name;
        // The huge chunks claim more bytes than the file has (or than a chunk may have).
        const CodecError error = decoded.Failure().error;
        if (!name.starts_with("huge_") || error != CodecError::Truncated) {
            EXPECT_EQ(error, CodecError::Corrupt) << name << ": " << decoded.Failure().detail;
        }
    }
}

TEST(PngDecoder, RefusesOtherDataCutFilesAndSizesBeyondThePictureLimit) {
    const Bytes basic = test_support::ReadBytes(SuiteDir() / "basn6a08.png");
    EXPECT_EQ(RefusalOf(DecodePng(std::span(basic).subspan(1))), CodecError::BadSignature);
    for (std::size_t cut :
         {std::size_t{12}, std::size_t{40}, basic.size() / 2, basic.size() - 13}) {
        EXPECT_EQ(RefusalOf(DecodePng(std::span(basic).first(cut))), CodecError::Truncated) << cut;
    }
    // Sizes are checked before the chunk's CRC, so patching them is enough. Each side of
    // 40000 x 40000 is allowed, the product (1.6 gigapixels) is not.
    const auto withSize = [&basic](std::uint32_t width, std::uint32_t height) {
        Bytes file = basic;
        for (std::size_t i = 0; i < 4; ++i) {
            file[16 + i] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
            file[20 + i] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
        }
        return file;
    };
    EXPECT_EQ(RefusalOf(DecodePng(withSize(70000, 1))), CodecError::LimitExceeded);
    EXPECT_EQ(RefusalOf(DecodePng(withSize(40000, 40000))), CodecError::LimitExceeded);
    EXPECT_EQ(RefusalOf(DecodePng(withSize(0, 5))), CodecError::BadDimensions);
}

}  // namespace
