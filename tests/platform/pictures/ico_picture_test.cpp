// Icons whose bitmap entry is larger than an icon file can hold are read where they lie, a strip
// of rows at a time; what is shown is what a whole decode of the entry gives.
#include "platform/pictures/sources/ico_picture.h"

#include <gtest/gtest.h>

#include "platform/pictures/codecs/ico_codec.h"
#include "platform/pictures/picture_files.h"
#include "platform/platform_error.h"
#include "tests/platform/pictures/picture_comparison.h"
#include "tests/support/test_files.h"

namespace platform {
namespace {

struct Entry {
    int width = 0;
    int height = 0;
    int bitCount = 32;
    int paletteEntries = 0;  // named in biClrUsed
    bool alphaUnused = false;
    bool withoutMask = false;
};

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// An icon file of one bitmap entry, bottom-up, with a pattern that differs from pixel to pixel
// in colour, alpha and mask.
std::vector<std::uint8_t> WriteIcon(const Entry& entry) {
    const auto width = static_cast<std::size_t>(entry.width);
    const std::size_t stride = (width * static_cast<std::size_t>(entry.bitCount) + 31) / 32 * 4;
    const std::size_t maskStride = (width + 31) / 32 * 4;
    std::vector<std::uint8_t> dib;
    Put(dib, 40, 4);
    Put(dib, static_cast<std::uint32_t>(entry.width), 4);
    Put(dib, static_cast<std::uint32_t>(entry.height * 2), 4);
    Put(dib, 1, 2);
    Put(dib, static_cast<std::uint32_t>(entry.bitCount), 2);
    for (const std::uint32_t field : {0u, 0u, 0u, 0u}) Put(dib, field, 4);
    Put(dib, static_cast<std::uint32_t>(entry.paletteEntries), 4);
    Put(dib, 0, 4);
    for (int i = 0; i < entry.paletteEntries; ++i)
        Put(dib, 0x00123456u * static_cast<std::uint32_t>(i + 1) & 0xFFFFFF, 4);
    std::vector<std::uint8_t> mask;
    for (int stored = 0; stored < entry.height; ++stored) {
        const int y = entry.height - 1 - stored;
        std::vector<std::uint8_t> row(stride, 0), maskRow(maskStride, 0);
        for (int x = 0; x < entry.width; ++x) {
            const std::uint32_t v =
                static_cast<std::uint32_t>(x * 7 + y * 13 + (x * y) / 5) * 2654435761u;
            const auto column = static_cast<std::size_t>(x);
            if (entry.bitCount == 32) {
                for (std::size_t b = 0; b < 4; ++b)
                    row[column * 4 + b] = static_cast<std::uint8_t>(v >> (8 * b + 3));
                if (entry.alphaUnused) row[column * 4 + 3] = 0;
            } else {
                const std::uint32_t index = v % static_cast<std::uint32_t>(entry.paletteEntries);
                row[column] = static_cast<std::uint8_t>(index);
            }
            if ((v >> 9) % 3 == 0) maskRow[column / 8] |= static_cast<std::uint8_t>(0x80 >> x % 8);
        }
        dib.insert(dib.end(), row.begin(), row.end());
        mask.insert(mask.end(), maskRow.begin(), maskRow.end());
    }
    if (!entry.withoutMask) dib.insert(dib.end(), mask.begin(), mask.end());

    std::vector<std::uint8_t> out;
    Put(out, 0, 2);
    Put(out, 1, 2);
    Put(out, 1, 2);
    out.insert(out.end(), {0, 0, 0, 0});  // 0 is 256 or more a side
    Put(out, 1, 2);
    Put(out, static_cast<std::uint32_t>(entry.bitCount), 2);
    Put(out, static_cast<std::uint32_t>(dib.size()), 4);
    Put(out, 22, 4);
    out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

TEST(LargeIconEntry, ShowsWhatAWholeDecodeGivesAStripAtATime) {
    const struct {
        const char* what;
        Entry entry;
    } cases[] = {
        {"32 bits with alpha", {.width = 300, .height = 700}},
        // Drawn by the mask: where it is 1 the colour is XORed onto what lies below.
        {"32 bits, alpha unused", {.width = 301, .height = 700, .alphaUnused = true}},
        {"8 bits, short palette",
         {.width = 700, .height = 300, .bitCount = 8, .paletteEntries = 40}},
        {"32 bits with alpha, no mask", {.width = 300, .height = 700, .withoutMask = true}},
    };
    test_support::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::uint8_t> file = WriteIcon(c.entry);
        const auto whole = test_support::DecodedWhole(file);
        ASSERT_TRUE(whole.has_value());
        const std::string path = dir.File("large.ico");
        test_support::WriteBytes(path, file);
        const Picture lazy = LoadPicture(path);
        EXPECT_TRUE(lazy.DecodesOnDemand());
        EXPECT_EQ(lazy.Type(), PictureType::Icon);
        EXPECT_EQ(lazy.Pixels(), whole->Pixels());
        for (const int side : {1, 32, 36, 80, 260}) {
            for (const std::uint32_t background : {0xFFFFFFu, 0x000000u, 0x3C5A78u}) {
                Bitmap drawn(side, side, PixelFormat::Colour, background);
                Bitmap wanted = drawn;
                lazy.Render(drawn);
                whole->Render(wanted);
                EXPECT_EQ(drawn, wanted) << side << " " << background;
            }
            EXPECT_EQ(lazy.Region(side, side), whole->Region(side, side)) << side;
        }
        EXPECT_TRUE(test_support::OverviewNear(lazy, *whole, 80, 80, 0, 0));
        EXPECT_TRUE(test_support::OverviewNear(lazy, *whole, 33, 700, 0, 0));
        // No planes to write: as an icon from a large PNG entry.
        EXPECT_THROW(SavePicture(lazy, dir.File("again.ico")), PlatformError);
    }
}

TEST(LargeIconEntry, RefusesWhatAWholeDecodeRefuses) {
    std::vector<std::uint8_t> noMask =
        WriteIcon({.width = 300, .height = 700, .alphaUnused = true, .withoutMask = true});
    std::vector<std::uint8_t> pastPalette =
        WriteIcon({.width = 700, .height = 300, .bitCount = 8, .paletteEntries = 40});
    // The bottom row's first pixel: stored first, read by no pane.
    pastPalette[22 + 40 + 4 * 40] = 45;
    test_support::TempDir dir;
    for (const auto& file : {noMask, pastPalette}) {
        const auto whole = codecs::DecodeIco(file);
        ASSERT_FALSE(whole.Ok());
        const std::string path = dir.File("large.ico");
        test_support::WriteBytes(path, file);
        try {
            LoadPicture(path);
            ADD_FAILURE() << "accepted what the whole decode refuses";
        } catch (const PlatformError& error) {
            EXPECT_EQ(error.Detail(), codecs::Describe(whole.Failure()));
        }
    }
}

}  // namespace
}  // namespace platform
