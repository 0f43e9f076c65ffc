#include "platform/pictures/codecs/ico_codec.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "platform/pictures/codecs/ico_encoder.h"
#include "platform/pictures/codecs/png_codec.h"
#include "tests/support/codec_test_support.h"
#include "tests/support/test_files.h"

namespace {

using test_support::RefusalOf;

using namespace platform;
using namespace platform::codecs;
using Bytes = std::vector<std::uint8_t>;

using test_support::Get32;
using test_support::Put;

// An entry of a test file: directory size, data (a DIB or a PNG), planes and bit count
// (the hotspot of a cursor).
struct TestEntry {
    int size;
    Bytes data;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
};

Bytes MakeIconFile(const std::vector<TestEntry>& entries, std::uint16_t type = 1) {
    Bytes out;
    Put(out, 0, 2), Put(out, type, 2), Put(out, static_cast<std::uint32_t>(entries.size()), 2);
    auto offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
    for (const auto& e : entries) {
        const auto side = static_cast<std::uint32_t>(e.size % 256);
        Put(out, side, 1), Put(out, side, 1), Put(out, 0, 2);
        Put(out, e.planes, 2), Put(out, e.bitCount, 2);
        Put(out, static_cast<std::uint32_t>(e.data.size()), 4), Put(out, offset, 4);
        offset += static_cast<std::uint32_t>(e.data.size());
    }
    for (const auto& e : entries) out.insert(out.end(), e.data.begin(), e.data.end());
    return out;
}

// A square bitmap entry: `value` gives a palette index up to 8 bits, else the stored pixel.
Bytes MakeDib(int size, int bits, const std::vector<std::uint32_t>& palette,
              const std::function<std::uint32_t(int, int)>& value,
              const std::function<bool(int, int)>& seeThrough) {
    Bytes out;
    for (int field : {40, size, size * 2}) Put(out, static_cast<std::uint32_t>(field), 4);
    Put(out, 1, 2), Put(out, static_cast<std::uint32_t>(bits), 2), out.resize(40);
    for (std::uint32_t colour : palette) Put(out, colour, 4);
    const auto rows = [&](int depth, const std::function<std::uint32_t(int, int)>& pixel) {
        const std::size_t stride =
            (static_cast<std::size_t>(size) * static_cast<std::size_t>(depth) + 31) / 32 * 4;
        for (int y = size - 1; y >= 0; --y) {
            Bytes row(stride, 0);
            for (int x = 0, bit = 0; x < size; ++x, bit += depth) {
                const std::uint32_t v = pixel(x, y);
                if (depth > 8) {
                    for (int b = 0; b < depth / 8; ++b)
                        row[static_cast<std::size_t>(bit / 8 + b)] =
                            static_cast<std::uint8_t>(v >> 8 * b);
                } else {
                    row[static_cast<std::size_t>(bit / 8)] |=
                        static_cast<std::uint8_t>(v << (8 - depth - bit % 8));
                }
            }
            out.insert(out.end(), row.begin(), row.end());
        }
    };
    rows(bits, value);
    rows(1, [&](int x, int y) { return seeThrough(x, y) ? 1u : 0u; });
    return out;
}

bool Diagonal(int x, int y) {
    return x == y;
}

IconImage TestIcon(int size) {
    IconImage icon{Bitmap(size, size, PixelFormat::Colour),
                   Bitmap(size, size, PixelFormat::Monochrome)};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            icon.colour.Set(x, y,
                            static_cast<std::uint32_t>(x * 7 + (y * 5 << 8) + ((x ^ y) << 16)));
            icon.mask.Set(x, y, (x + y) % 5 == 0 ? 1 : 0);
        }
    }
    return icon;
}

TEST(IcoWriter, WritesOneThirtyTwoBitEntryThatReadsBackToTheSamePlanes) {
    const IconImage icon = TestIcon(32);
    const Bytes file = test_support::DecodedValue(EncodeIco(icon));
    ASSERT_EQ(file.size(), 6u + 16 + 40 + 32 * 32 * 4 + 32 * 4);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 8), (Bytes{0, 0, 1, 0, 1, 0, 32, 32}));
    EXPECT_EQ(file[10] + file[12], 1 + 32);  // planes, bit count
    EXPECT_EQ(Get32(file, 14), file.size() - 22);
    EXPECT_EQ(Get32(file, 18), 22u);
    EXPECT_EQ(Get32(file, 22 + 8), 64u);  // the DIB's height counts the mask rows too
    auto decoded = DecodeIco(file);
    ASSERT_TRUE(decoded.Ok()) << decoded.Failure().detail;
    EXPECT_EQ(decoded.Value().mask, icon.mask);
    EXPECT_EQ(IconWithAlpha(decoded.Value()), IconWithAlpha(icon));
    EXPECT_TRUE(decoded.Value().isIcon);

    // An icon's own alpha is kept, and 256 is written as 0.
    IconImage big = TestIcon(256);
    big.colour.SetHasAlpha(true);
    for (int x = 0; x < 256; ++x)
        big.colour.Set(x, 3, WithAlpha(0x123456, static_cast<std::uint32_t>(x)));
    const Bytes bigFile = test_support::DecodedValue(EncodeIco(big));
    EXPECT_EQ(bigFile[6] + bigFile[7], 0);
    auto bigDecoded = DecodeIco(bigFile, 256);
    ASSERT_TRUE(bigDecoded.Ok()) << bigDecoded.Failure().detail;
    EXPECT_EQ(bigDecoded.Value().colour, big.colour);

    EXPECT_EQ(RefusalOf(EncodeIco(TestIcon(257))), CodecError::BadDimensions);
}

TEST(IcoWriter, WritesSixteenColoursInSevenHundredSixtySixBytes) {
    IconImage icon = TestIcon(32);
    const std::uint32_t vga[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                   0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                   0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    // See-through pixels keep their odd colours: they are written as index 0.
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (!icon.mask.At(x, y)) icon.colour.Set(x, y, vga[(x + 3 * y) % 16]);
        }
    }
    auto file = EncodeIco4Bit(icon);
    ASSERT_TRUE(file.Ok()) << file.Failure().detail;
    ASSERT_EQ(file.Value().size(), 766u);
    EXPECT_EQ(file.Value()[8] + file.Value()[12], 16 + 4);       // colour count, bit count
    EXPECT_EQ(Get32(file.Value(), 22 + 40 + 4 * 9), 0xFF0000u);  // red, stored as B, G, R, 0
    auto decoded = DecodeIco(file.Value());
    ASSERT_TRUE(decoded.Ok()) << decoded.Failure().detail;
    EXPECT_EQ(decoded.Value().mask, icon.mask);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const std::uint32_t expected = icon.mask.At(x, y) ? 0 : icon.colour.At(x, y);
            ASSERT_EQ(decoded.Value().colour.At(x, y), expected) << x << "," << y;
        }
    }
    icon.mask.Set(0, 0, 0);
    icon.colour.Set(0, 0, 0xFEFEFE);  // visible and one step off a palette colour
    auto refused = EncodeIco4Bit(icon);
    ASSERT_FALSE(refused.Ok());
    EXPECT_EQ(refused.Failure().error, CodecError::Unsupported);
}

TEST(IcoReader, ReadsBitmapEntriesOfEveryDepthWithTheirMask) {
    // Palette entries are stored 0x00RRGGBB; our colours are 0x00BBGGRR.
    const std::vector<std::uint32_t> stored = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00,
                                               0x0000FF, 0x808080, 0x123456, 0xABCDEF};
    const auto index = [](int x, int y) { return static_cast<std::uint32_t>((x + 2 * y) % 8); };
    for (int bits : {1, 4, 8, 24, 32}) {
        SCOPED_TRACE(bits);
        const std::uint32_t colours = bits == 1 ? 2 : 8;
        std::vector<std::uint32_t> palette(stored.begin(), stored.begin() + colours);
        if (bits <= 8) palette.resize(std::size_t{1} << bits, 0);  // the depth's full palette
        const auto value = [&](int x, int y) {
            if (bits <= 8) return index(x, y) % colours;
            return stored[index(x, y)] | (bits == 32 ? 0xFF000000 : 0);
        };
        auto decoded = DecodeIco(
            MakeIconFile({{20, MakeDib(20, bits, bits <= 8 ? palette : std::vector<std::uint32_t>{},
                                       value, Diagonal)}}));
        ASSERT_TRUE(decoded.Ok()) << decoded.Failure().detail;
        const IconImage& icon = decoded.Value();
        ASSERT_EQ(icon.Width(), 20);
        EXPECT_EQ(icon.colour.HasAlpha(), bits == 32);
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x) {
                const std::uint32_t rgb = stored[index(x, y) % colours];
                const std::uint32_t bgr = (rgb >> 16) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
                ASSERT_EQ(ColourOf(icon.colour.At(x, y)), bgr) << x << "," << y;
                ASSERT_EQ(icon.mask.At(x, y), x == y ? 1u : 0u) << x << "," << y;
            }
        }
    }
    // Thirty-two bits with no alpha anywhere: the mask decides.
    auto masked = DecodeIco(
        MakeIconFile({{8, MakeDib(
                              8, 32, {}, [](int, int) { return 0x808080u; }, Diagonal)}}));
    ASSERT_TRUE(masked.Ok());
    EXPECT_FALSE(masked.Value().colour.HasAlpha());
    EXPECT_EQ(masked.Value().colour.At(1, 0), 0x808080u);
}

TEST(IcoReader, ChoosesTheEntryThatBestFitsThePreferredSize) {
    // Entries told apart by their one colour (stored 0x00RRGGBB, so red here).
    const auto entry = [](int size, int bits, std::uint32_t colour) {
        const std::vector<std::uint32_t> palette(bits <= 8 ? std::size_t{1} << bits : 0, colour);
        const auto value = [=](int, int) { return bits <= 8 ? 0u : colour; };
        return TestEntry{size, MakeDib(size, bits, palette, value, [](int, int) { return false; })};
    };
    const Bytes file =
        MakeIconFile({entry(16, 8, 0x010000), entry(32, 4, 0x020000), entry(32, 8, 0x030000),
                      entry(48, 24, 0x040000), entry(32, 1, 0x050000)});
    // Exact size, deepest of the three; smallest larger; nothing larger: largest smaller.
    const std::map<int, std::uint32_t> expected = {{32, 3}, {40, 4}, {64, 4}, {8, 1}, {16, 1}};
    for (const auto& [size, colour] : expected) {
        auto decoded = DecodeIco(file, size);
        ASSERT_TRUE(decoded.Ok()) << decoded.Failure().detail;
        EXPECT_EQ(decoded.Value().colour.At(0, 0), colour) << "preferred size " << size;
    }
}

TEST(IcoReader, ReadsPngEntriesWithAMaskFromTheirAlpha) {
    const Bytes png =
        test_support::ReadBytes(test_support::CorporaDir() / "pngsuite" / "basn6a08.png");
    auto expected = DecodePng(png);
    ASSERT_TRUE(expected.Ok());
    auto decoded = DecodeIco(MakeIconFile({{32, png, 0, 32}}));
    ASSERT_TRUE(decoded.Ok()) << decoded.Failure().detail;
    EXPECT_EQ(decoded.Value().colour, expected.Value());
    EXPECT_TRUE(decoded.Value().colour.HasAlpha());
    int seeThrough = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const bool clear = AlphaOf(expected.Value().At(x, y)) == 0;
            ASSERT_EQ(decoded.Value().mask.At(x, y), clear ? 1u : 0u);
            seeThrough += clear;
        }
    }
    EXPECT_GT(seeThrough, 0);
}

TEST(CurReader, KeepsTheHotspotAndIsNotAnIcon) {
    const TestEntry entry{16, MakeDib(16, 1, {0, 0xFFFFFF}, Diagonal, Diagonal), 5, 11};
    auto cursor = DecodeIco(MakeIconFile({entry}, 2));
    ASSERT_TRUE(cursor.Ok()) << cursor.Failure().detail;
    EXPECT_FALSE(cursor.Value().isIcon);
    EXPECT_EQ(cursor.Value().xHotspot, 5);
    EXPECT_EQ(cursor.Value().yHotspot, 11);
    // In an icon the same fields are planes and bit count, not a hotspot.
    auto icon = DecodeIco(MakeIconFile({entry}, 1));
    ASSERT_TRUE(icon.Ok());
    EXPECT_EQ(icon.Value().xHotspot, 0);
}

TEST(IcoReader, RefusesDirectoriesThatLie) {
    const Bytes good = test_support::DecodedValue(EncodeIco(TestIcon(16)));
    auto changed = [&good](std::size_t at, Bytes bytes) {
        Bytes file = good;
        std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
        return file;
    };
    EXPECT_EQ(RefusalOf(DecodeIco(changed(0, {1}))), CodecError::BadSignature);  // reserved
    EXPECT_EQ(RefusalOf(DecodeIco(changed(2, {3}))), CodecError::BadSignature);  // type
    EXPECT_EQ(RefusalOf(DecodeIco(changed(4, {0}))), CodecError::BadHeader);     // no entries
    EXPECT_EQ(RefusalOf(DecodeIco(changed(4, {2}))), CodecError::BadHeader);     // entry 2 is data
    EXPECT_EQ(RefusalOf(DecodeIco(changed(4, {0xFF, 0xFF}))),
              CodecError::Truncated);  // entries missing
    EXPECT_EQ(RefusalOf(DecodeIco(changed(14, {0xFF, 0xFF}))),
              CodecError::Truncated);  // size past end
    EXPECT_EQ(RefusalOf(DecodeIco(changed(18, {0xF0, 0xFF, 0xFF, 0xFF}))),
              CodecError::Truncated);                                               // offset
    EXPECT_EQ(RefusalOf(DecodeIco(changed(18, {6}))), CodecError::BadHeader);       // in directory
    EXPECT_EQ(RefusalOf(DecodeIco(changed(6, {17}))), CodecError::BadDimensions);   // not DIB width
    EXPECT_EQ(RefusalOf(DecodeIco(changed(22 + 12, {2}))), CodecError::BadHeader);  // two planes
    EXPECT_EQ(RefusalOf(DecodeIco(Bytes(good.begin(), good.begin() + 5))), CodecError::Truncated);
    const auto size = static_cast<std::uint8_t>(good.size() - 22);
    EXPECT_EQ(RefusalOf(DecodeIco(changed(14, {static_cast<std::uint8_t>(size - 4)}))),
              CodecError::Truncated);
    // With no mask at all, a picture with alpha still has its transparency.
    auto noMask = DecodeIco(changed(14, {static_cast<std::uint8_t>(size - 64)}));
    ASSERT_TRUE(noMask.Ok()) << noMask.Failure().detail;
    EXPECT_EQ(noMask.Value().mask, TestIcon(16).mask);
    // 60000 x 30000 pixels are refused before any pixel memory is taken.
    EXPECT_EQ(RefusalOf(DecodeIco(changed(22 + 4, {0x60, 0xEA, 0, 0, 0x60, 0xEA}))),
              CodecError::LimitExceeded);
}

TEST(IcoReader, DecodesOrRefusesEachCorpusFile) {
    // Refused: the bomb by the picture limit, the cursor file without cursors, a directory
    // that names another size than its picture has, and two whose entry sizes (8 bytes)
    // cannot hold even the bitmap header.
    const std::map<std::string, CodecError> refused = {
        {"decompression_bomb.ico", CodecError::LimitExceeded},
        {"no_cursors.cur", CodecError::BadHeader},
        {"hopper_unexpected.ico", CodecError::BadDimensions},
        {"mask_1.cur", CodecError::Truncated},
        {"mask_L.cur", CodecError::Truncated},
    };
    const std::map<std::string, int> sizes = {
        {"black_and_white.ico", 16}, {"deerstalker.cur", 32}, {"hopper.ico", 16},
        {"hopper_256x256.ico", 256}, {"hopper_draw.ico", 16}, {"hopper_mask.ico", 16},
        {"pillow.ico", 32},          {"python.ico", 32},
    };
    const auto folder = test_support::CorporaDir() / "pillow-ico-cur";
    for (const auto& [name, error] : refused) {
        EXPECT_EQ(RefusalOf(DecodeIco(test_support::ReadBytes(folder / name))), error) << name;
    }
    for (const auto& [name, size] : sizes) {
        auto decoded = DecodeIco(test_support::ReadBytes(folder / name));
        ASSERT_TRUE(decoded.Ok()) << name << ": " << decoded.Failure().detail;
        EXPECT_EQ(decoded.Value().Width(), size) << name;
        EXPECT_EQ(decoded.Value().isIcon, name.ends_with(".ico")) << name;
    }
}

}  // namespace
