// zentrova-convert's icon sets: the file it writes, read field by field.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/pictures/picture_files.h"
#include "tests/support/child_process.h"
#include "tests/support/test_files.h"

namespace zentrova {
namespace {

namespace fs = std::filesystem;

int Convert(const std::vector<std::string>& args, const fs::path& workDir) {
    test_support::Program program{.args = {ZENTROVA_CONVERT_PROGRAM},
                                  .environment = std::nullopt,
                                  .workDir = workDir,
                                  .out = workDir / ".stdout",
                                  .err = workDir / ".stderr"};
    program.args.insert(program.args.end(), args.begin(), args.end());
    return test_support::RunProgram(program).status;
}

unsigned U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<unsigned>(b.at(at) | b.at(at + 1) << 8);
}
std::size_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return U16(b, at) | std::size_t{U16(b, at + 2)} << 16;
}

struct Entry {
    unsigned side;  // as stored: 0 for 256
    unsigned planesOrX;
    unsigned bitsOrY;
    std::size_t size;
    std::size_t offset;
};

std::vector<Entry> Directory(const std::vector<std::uint8_t>& file, unsigned type) {
    EXPECT_EQ(U16(file, 0), 0u);
    EXPECT_EQ(U16(file, 2), type);
    std::vector<Entry> entries;
    for (std::size_t i = 0; i < U16(file, 4); ++i) {
        const std::size_t at = 6 + 16 * i;
        EXPECT_EQ(file.at(at), file.at(at + 1)) << "square";
        entries.push_back({file.at(at), U16(file, at + 4), U16(file, at + 6), U32(file, at + 8),
                           U32(file, at + 12)});
        EXPECT_LE(entries.back().offset + entries.back().size, file.size());
    }
    return entries;
}

TEST(ConverterIconSet, WritesEachSizeSmallestFirstWithPngAt256AndAMaskThatIsTheAlpha) {
    test_support::TempDir dir;
    const fs::path input = dir.Path() / "alpha.png";
    fs::copy_file(test_support::CorporaDir() / "pngsuite/basn6a08.png", input);
    ASSERT_EQ(Convert({"--sizes", "48,256,16", "-o", "app", input.string()}, dir.Path()), 0);
    const std::vector<std::uint8_t> file = test_support::ReadBytes(dir.Path() / "app.ICO");
    const std::vector<Entry> entries = Directory(file, 1);
    ASSERT_EQ(entries.size(), 3u);
    int clear = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        EXPECT_EQ(e.side, (std::vector<unsigned>{16, 48, 0})[i]);
        EXPECT_EQ(e.planesOrX, 1u);
        EXPECT_EQ(e.bitsOrY, 32u);
        if (e.side == 0) {
            EXPECT_EQ(file.at(e.offset + 1), 'P') << "the 256 entry is a PNG";
            continue;
        }
        ASSERT_EQ(U32(file, e.offset), 40u);
        EXPECT_EQ(U16(file, e.offset + 14), 32u);
        const std::size_t pixels = e.offset + 40, mask = pixels + 4 * e.side * e.side;
        const std::size_t stride = (e.side + 31) / 32 * 4;
        ASSERT_EQ(e.size, 40 + 4 * e.side * e.side + stride * e.side);
        for (std::size_t y = 0; y < e.side; ++y) {
            for (std::size_t x = 0; x < e.side; ++x) {
                const bool transparent = file.at(pixels + 4 * (y * e.side + x) + 3) == 0;
                const bool masked = (file.at(mask + y * stride + x / 8) >> (7 - x % 8)) & 1;
                EXPECT_EQ(masked, transparent) << e.side << ": " << x << "," << y;
                clear += transparent ? 1 : 0;
            }
        }
    }
    EXPECT_GT(clear, 0) << "the picture's own transparency is kept";
}

TEST(ConverterIconSet, MakesTheKeyColourTransparentAndWritesACursorsHotSpotPerSize) {
    test_support::TempDir dir;
    // Left half the key colour of the top-left pixel, right half another.
    platform::Bitmap halves(64, 64, platform::PixelFormat::Colour);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) halves.Set(x, y, x < 32 ? 0x00FF00 : 0x2040C0);
    }
    const std::string input = (dir.Path() / "halves.bmp").string();
    platform::SavePicture(platform::Picture::FromBitmap(halves), input);

    ASSERT_EQ(Convert({"--key", "--sizes", "32,64", "--hotspot", "63,10", "-o", "h.cur", input},
                      dir.Path()),
              0);
    const std::vector<std::uint8_t> file = test_support::ReadBytes(dir.Path() / "h.cur");
    const std::vector<Entry> entries = Directory(file, 2);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].planesOrX, 31u);
    EXPECT_EQ(entries[0].bitsOrY, 5u);
    EXPECT_EQ(entries[1].planesOrX, 63u);
    EXPECT_EQ(entries[1].bitsOrY, 10u);
    // The 64 entry is the picture at natural size: exactly the halves, bottom row first.
    const std::size_t pixels = entries[1].offset + 40;
    for (std::size_t x = 0; x < 64; ++x) {
        const std::size_t at = pixels + 4 * x;
        const std::uint32_t bgra = static_cast<std::uint32_t>(U32(file, at));
        EXPECT_EQ(bgra, x < 32 ? 0u : 0xFFC04020u) << x;
    }

    EXPECT_EQ(Convert({"--cursor", "--sizes", "32", "--hotspot", "32,0", input}, dir.Path()), 2);
    EXPECT_EQ(Convert({"--key=GG0000", input}, dir.Path()), 2);
    EXPECT_FALSE(fs::exists(input + ".CUR"));
    EXPECT_FALSE(fs::exists(input + ".ICO"));
}

TEST(ConverterIconSet, TakesFromAnIconTheEntryNearestTheLargestSize) {
    test_support::TempDir dir;
    const fs::path input = dir.Path() / "python.ico";  // 16, 32 and 48
    fs::copy_file(test_support::CorporaDir() / "pillow-ico-cur/python.ico", input);
    ASSERT_EQ(Convert({"--sizes", "48", "-o", "out.ico", input.string()}, dir.Path()), 0);
    // At its own size the entry comes back as it was, not the 32 entry enlarged.
    const platform::Bitmap was = platform::IconWithAlpha(*platform::LoadPicture(input, 48).Icon());
    const platform::Bitmap now =
        platform::IconWithAlpha(*platform::LoadPicture((dir.Path() / "out.ico").string()).Icon());
    ASSERT_EQ(now.Width(), 48);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 48; ++x) {
            const std::uint32_t a = was.At(x, y), b = now.At(x, y);
            EXPECT_EQ(platform::AlphaOf(a) == 0 ? 0 : a, b) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace zentrova
