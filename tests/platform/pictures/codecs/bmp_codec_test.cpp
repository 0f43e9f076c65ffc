#include "platform/pictures/codecs/bmp_codec.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/codec_test_support.h"
#include "tests/support/test_files.h"

namespace {

using test_support::RefusalOf;

using namespace platform;
using namespace platform::codecs;
using Bytes = std::vector<std::uint8_t>;

using test_support::Get32;
using test_support::Put;

// A file with a header of `headerSize` bytes (the fields after the 40-byte ones are `extra`),
// then `palette`, then `pixels` as given.
Bytes MakeBmp(int width, int height, int bitCount, std::uint32_t compression,
              const std::vector<std::uint32_t>& palette, const Bytes& pixels,
              std::uint32_t headerSize = 40, const std::vector<std::uint32_t>& extra = {}) {
    const auto offset = static_cast<std::uint32_t>(14 + headerSize + 4 * palette.size());
    Bytes out = {'B', 'M'};
    Put(out, offset + static_cast<std::uint32_t>(pixels.size()), 4), Put(out, 0, 4);
    for (auto field : {offset, headerSize, std::uint32_t(width), std::uint32_t(height)})
        Put(out, field, 4);
    Put(out, 1, 2), Put(out, static_cast<std::uint32_t>(bitCount), 2), Put(out, compression, 4);
    Put(out, static_cast<std::uint32_t>(pixels.size()), 4), Put(out, 2835, 4), Put(out, 2835, 4);
    Put(out, static_cast<std::uint32_t>(palette.size()), 4), Put(out, 0, 4);
    for (std::uint32_t value : extra) Put(out, value, 4);
    out.resize(14 + headerSize, 0);
    for (std::uint32_t colour : palette) Put(out, colour, 4);
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

TEST(BmpWriter, WritesTwentyFourBitRowsBottomUpPaddedToFourBytes) {
    Bitmap bitmap(5, 3, PixelFormat::Colour);
    for (int i = 0; i < 15; ++i) {
        bitmap.Set(i % 5, i / 5, 0x010203u * static_cast<std::uint32_t>(i + 1));
    }
    const Bytes file = test_support::DecodedValue(EncodeBmp24(bitmap));
    ASSERT_EQ(file.size(), 54u + 3 * 16);  // rows of 15 bytes padded to 16
    EXPECT_EQ(Get32(file, 2), file.size());
    EXPECT_EQ(Get32(file, 10) + Get32(file, 14), 54u + 40);  // pixel offset, header size
    EXPECT_EQ(Get32(file, 22), 3u);                          // positive: bottom row first
    EXPECT_EQ(file[28] | Get32(file, 30), 24u);              // 24 bits, BI_RGB
    // The first stored pixel is the bottom-left one, blue first; then the padding.
    EXPECT_EQ(Bytes(file.begin() + 54, file.begin() + 57), (Bytes{11, 22, 33}));
    EXPECT_EQ(file[54 + 15], 0);
    auto decoded = DecodeBmp(file);
    ASSERT_TRUE(decoded.Ok()) << decoded.Failure().detail;
    EXPECT_EQ(decoded.Value(), bitmap);

    EXPECT_EQ(RefusalOf(EncodeBmp24(Bitmap())), CodecError::BadDimensions);
}

TEST(BmpReader, UsesAlphaOnlyWhenTheHeaderNamesItAndItIsNotAllZero) {
    const Bytes pixels = {0x10, 0x20, 0x30, 0x80, 0x10, 0x20, 0x30, 0x00};
    const Bytes noAlpha = {0x10, 0x20, 0x30, 0x00, 0x10, 0x20, 0x30, 0x00};
    // V5 header, BI_BITFIELDS with an alpha mask.
    const std::vector<std::uint32_t> masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    auto withMask = DecodeBmp(MakeBmp(2, 1, 32, 3, {}, pixels, 124, masks));
    ASSERT_TRUE(withMask.Ok()) << withMask.Failure().detail;
    EXPECT_TRUE(withMask.Value().HasAlpha());
    EXPECT_EQ(withMask.Value().At(0, 0), 0x80102030u);

    auto allZero = DecodeBmp(MakeBmp(2, 1, 32, 3, {}, noAlpha, 124, masks));
    ASSERT_TRUE(allZero.Ok());
    EXPECT_FALSE(allZero.Value().HasAlpha());
    EXPECT_EQ(allZero.Value().At(0, 0), 0x102030u);

    // A 40-byte header's spare byte is not alpha.
    auto plain = DecodeBmp(MakeBmp(2, 1, 32, 0, {}, pixels));
    ASSERT_TRUE(plain.Ok());
    EXPECT_FALSE(plain.Value().HasAlpha());
    EXPECT_EQ(plain.Value().At(0, 0), 0x102030u);
}

TEST(BmpReader, RefusesHeadersAndOffsetsThatLie) {
    const Bytes row = {0x80, 0, 0, 0};
    const Bytes good = MakeBmp(1, 1, 1, 0, {0, 0xFFFFFF}, row);
    ASSERT_TRUE(DecodeBmp(good).Ok());
    auto changed = [&good](std::size_t at, std::uint32_t value) {
        Bytes file = good;
        for (std::size_t i = 0; i < 4; ++i)
            file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        return file;
    };
    EXPECT_EQ(RefusalOf(DecodeBmp(changed(10, 0xFFFFFFF0))),
              CodecError::Truncated);                                         // pixels past end
    EXPECT_EQ(RefusalOf(DecodeBmp(changed(10, 20))), CodecError::BadHeader);  // inside the header
    EXPECT_EQ(RefusalOf(DecodeBmp(changed(14, 41))), CodecError::BadHeader);  // header size
    EXPECT_EQ(RefusalOf(DecodeBmp(changed(18, 0))), CodecError::BadDimensions);  // width 0
    EXPECT_EQ(RefusalOf(DecodeBmp(changed(22, 0x80000000))),
              CodecError::LimitExceeded);  // most negative
    EXPECT_EQ(RefusalOf(DecodeBmp(changed(18, 70000))), CodecError::LimitExceeded);
    EXPECT_EQ(RefusalOf(DecodeBmp(changed(30, 9))), CodecError::BadHeader);  // compression
    EXPECT_EQ(RefusalOf(DecodeBmp(changed(46, 3))),
              CodecError::BadHeader);  // 3 colours, room for 2
    // The last row may lack its padding, not its pixels.
    EXPECT_TRUE(DecodeBmp(Bytes(good.begin(), good.end() - 3)).Ok());
    EXPECT_EQ(RefusalOf(DecodeBmp(Bytes(good.begin(), good.end() - 4))), CodecError::Truncated);
    EXPECT_EQ(RefusalOf(DecodeBmp(Bytes(good.begin(), good.begin() + 20))), CodecError::Truncated);
    EXPECT_EQ(RefusalOf(DecodeBmp(Bytes{'B', 'A', 0, 0})), CodecError::BadSignature);
    // Masks that overlap, or leave a gap.
    EXPECT_EQ(RefusalOf(DecodeBmp(MakeBmp(1, 1, 16, 3, {}, row, 52, {0x7C00, 0x07E0, 0x001F}))),
              CodecError::BadHeader);
    EXPECT_EQ(RefusalOf(DecodeBmp(MakeBmp(1, 1, 16, 3, {}, row, 52, {0x7C00, 0x0360, 0x001F}))),
              CodecError::BadHeader);
}

TEST(BmpReader, RefusesRleDataThatGoesOnPastTheLastRow) {
    const std::vector<std::uint32_t> palette = {0, 0xFFFFFF};
    // A run fills the one row; an end of line then leaves it, as writers end every row.
    EXPECT_TRUE(DecodeBmp(MakeBmp(2, 1, 8, 1, palette, {2, 1, 0, 0, 0, 1})).Ok());
    // A second one goes past the picture: nothing can follow that a reader could draw.
    EXPECT_EQ(RefusalOf(DecodeBmp(MakeBmp(2, 1, 8, 1, palette, {2, 1, 0, 0, 0, 0, 0, 1}))),
              CodecError::Corrupt);
}

TEST(BmpReader, RefusesEveryRegressionFileCleanly) {
    int files = 0;
    for (const auto& item : std::filesystem::directory_iterator(test_support::SourceDir() /
                                                                "tests/data/regressions")) {
        if (!item.path().filename().string().starts_with("bmp_")) continue;
        ++files;
        EXPECT_FALSE(DecodeBmp(test_support::ReadBytes(item.path())).Ok()) << item.path();
    }
    EXPECT_GT(files, 0);
}

}  // namespace
