// Large uncompressed BMP pictures decode only the rows shown; what is shown and written is
// what a whole decode gives, for every layout of rows and pixels.
#include "platform/pictures/sources/bmp_picture.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/pictures/picture_files.h"
#include "platform/platform_error.h"
#include "tests/platform/pictures/picture_comparison.h"
#include "tests/support/codec_test_support.h"
#include "tests/support/test_files.h"

namespace platform {
namespace {

struct BmpLayout {
    int width = 0;
    int height = 0;
    int bitCount = 24;
    bool topDown = false;
    int paletteEntries = 0;        // written, and named in biClrUsed when not the full depth
    bool bitfields565 = false;     // 16 bits as 5-6-5 through BI_BITFIELDS
    bool lastRowUnpadded = false;  // the writer stopped at the last pixel
    bool alpha = false;            // 32 bits with an alpha mask (BI_ALPHABITFIELDS)
    bool alphaUnused = false;      // and every alpha byte 0
};

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A BMP file whose pixels follow a pattern that differs from row to row and column to column.
std::vector<std::uint8_t> WriteBmp(const BmpLayout& layout) {
    const std::size_t stride =
        (static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(layout.bitCount) + 31) /
        32 * 4;
    const std::size_t masks = layout.bitfields565 ? 12 : layout.alpha ? 16 : 0;
    const std::size_t offset =
        14 + 40 + masks + 4 * static_cast<std::size_t>(layout.paletteEntries);
    std::vector<std::uint8_t> out = {'B', 'M'};
    Put(out, 0, 4);  // bfSize, not relied on
    Put(out, 0, 4);
    Put(out, static_cast<std::uint32_t>(offset), 4);
    Put(out, 40, 4);
    Put(out, static_cast<std::uint32_t>(layout.width), 4);
    Put(out, static_cast<std::uint32_t>(layout.topDown ? -layout.height : layout.height), 4);
    Put(out, 1, 2);
    Put(out, static_cast<std::uint32_t>(layout.bitCount), 2);
    Put(out, layout.bitfields565 ? 3 : layout.alpha ? 6 : 0, 4);
    Put(out, 0, 4);
    Put(out, 2835, 4);
    Put(out, 2835, 4);
    const bool fullPalette =
        layout.bitCount <= 8 && layout.paletteEntries == (1 << layout.bitCount);
    Put(out, fullPalette ? 0 : static_cast<std::uint32_t>(layout.paletteEntries), 4);
    Put(out, 0, 4);
    if (layout.bitfields565) {
        Put(out, 0xF800, 4);
        Put(out, 0x07E0, 4);
        Put(out, 0x001F, 4);
    }
    if (layout.alpha) {
        for (const std::uint32_t mask : {0xFF0000u, 0xFF00u, 0xFFu, 0xFF000000u}) Put(out, mask, 4);
    }
    for (int i = 0; i < layout.paletteEntries; ++i)
        Put(out, 0x00123456u * static_cast<std::uint32_t>(i + 1) & 0xFFFFFF, 4);
    for (int stored = 0; stored < layout.height; ++stored) {
        const int y = layout.topDown ? stored : layout.height - 1 - stored;
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < layout.width; ++x) {
            const std::uint32_t v =
                static_cast<std::uint32_t>(x * 7 + y * 13 + (x * y) / 5) * 2654435761u;
            if (layout.bitCount <= 8) {
                const int perByte = 8 / layout.bitCount;
                const std::uint32_t index =
                    v % static_cast<std::uint32_t>(std::max(layout.paletteEntries, 1));
                row[static_cast<std::size_t>(x / perByte)] |=
                    static_cast<std::uint8_t>(index << (8 - layout.bitCount * (x % perByte + 1)));
            } else {
                for (int b = 0; b < layout.bitCount / 8; ++b)
                    row[static_cast<std::size_t>(x * (layout.bitCount / 8) + b)] =
                        static_cast<std::uint8_t>(v >> (8 * b + 3));
                if (layout.alphaUnused) row[static_cast<std::size_t>(x * 4 + 3)] = 0;
            }
        }
        if (layout.lastRowUnpadded && stored == layout.height - 1) {
            row.resize((static_cast<std::size_t>(layout.width) *
                            static_cast<std::size_t>(layout.bitCount) +
                        7) /
                       8);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// An RLE8 or RLE4 file whose rows mix runs and literal runs; unless `complete`, rows also end
// early and deltas skip pixels and rows, which leaves those transparent.
std::vector<std::uint8_t> WriteRleBmp(int width, int height, int bitCount, bool complete) {
    std::uint32_t seed = 12345;
    const auto next = [&seed](int below) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<std::uint32_t>(below));
    };
    std::vector<std::uint8_t> data;
    int x = 0, stored = 0;
    while (stored < height) {
        const int rowEnd = complete ? width : width - next(width / 3);
        if (x >= rowEnd) {
            data.insert(data.end(), {0, 0});
            x = 0;
            ++stored;
            continue;
        }
        const int count = std::min(rowEnd - x, 1 + next(60));
        const int kind = next(complete ? 2 : 3);
        if (kind == 1 && count >= 3) {
            data.insert(data.end(), {0, static_cast<std::uint8_t>(count)});
            const int bytes = bitCount == 8 ? count : (count + 1) / 2;
            for (int i = 0; i < bytes; ++i) data.push_back(static_cast<std::uint8_t>(next(256)));
            if (bytes % 2 != 0) data.push_back(0);
        } else if (kind == 2) {
            const int dy = stored + 1 < height && next(4) == 0 ? 1 : 0;
            data.insert(data.end(),
                        {0, 2, static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(dy)});
            stored += dy;
        } else {
            data.insert(data.end(),
                        {static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(next(256))});
        }
        x += count;
    }
    data.insert(data.end(), {0, 1});

    const int entries = 1 << bitCount;
    const auto offset = static_cast<std::uint32_t>(14 + 40 + 4 * entries);
    std::vector<std::uint8_t> out = {'B', 'M'};
    for (const std::uint32_t field : {0u, 0u, offset, 40u, static_cast<std::uint32_t>(width),
                                      static_cast<std::uint32_t>(height)}) {
        Put(out, field, 4);
    }
    Put(out, 1, 2);
    Put(out, static_cast<std::uint32_t>(bitCount), 2);
    for (const std::uint32_t field :
         {bitCount == 8 ? 1u : 2u, static_cast<std::uint32_t>(data.size()), 2835u, 2835u, 0u, 0u}) {
        Put(out, field, 4);
    }
    for (int i = 0; i < entries; ++i)
        Put(out, 0x00123456u * static_cast<std::uint32_t>(i + 1) & 0xFFFFFF, 4);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

class BmpPictureTest : public ::testing::Test {
  protected:
    std::string Write(const std::vector<std::uint8_t>& bytes) {
        const std::string path = dir.File("picture.bmp");
        test_support::WriteBytes(path, bytes);
        return path;
    }
    test_support::TempDir dir;
};

TEST_F(BmpPictureTest, ShowsAndWritesWhatAWholeDecodeGivesForEveryRowAndPixelLayout) {
    const struct {
        const char* what;
        BmpLayout layout;
        bool decodesOnDemand;
    } cases[] = {
        {"24 bits, bottom-up", {.width = 700, .height = 520}, true},
        {"24 bits, top-down", {.width = 700, .height = 520, .topDown = true}, true},
        {"24 bits, last row unpadded",
         {.width = 701, .height = 519, .lastRowUnpadded = true},
         true},
        {"32 bits", {.width = 600, .height = 500, .bitCount = 32}, true},
        {"16 bits, 5-6-5",
         {.width = 900, .height = 700, .bitCount = 16, .bitfields565 = true},
         true},
        {"16 bits, 5-5-5", {.width = 901, .height = 700, .bitCount = 16, .topDown = true}, true},
        {"8 bits, full palette",
         {.width = 1201, .height = 900, .bitCount = 8, .paletteEntries = 256},
         true},
        {"4 bits", {.width = 2001, .height = 1100, .bitCount = 4, .paletteEntries = 16}, true},
        {"1 bit", {.width = 3001, .height = 2900, .bitCount = 1, .paletteEntries = 2}, true},
        // A pixel past the end of a short palette anywhere makes the file invalid, and alpha
        // counts only if some pixel uses it: a pass over every row on opening tells.
        {"8 bits, short palette",
         {.width = 1201, .height = 900, .bitCount = 8, .paletteEntries = 200},
         true},
        {"32 bits with alpha", {.width = 600, .height = 500, .bitCount = 32, .alpha = true}, true},
        {"32 bits with an alpha mask but no alpha",
         {.width = 601,
          .height = 500,
          .bitCount = 32,
          .topDown = true,
          .alpha = true,
          .alphaUnused = true},
         true},
        {"small", {.width = 50, .height = 40}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::uint8_t> file = WriteBmp(c.layout);
        const auto whole = test_support::DecodedWhole(file);
        ASSERT_TRUE(whole.has_value());
        const Picture lazy = LoadPicture(Write(file));
        EXPECT_EQ(lazy.DecodesOnDemand(), c.decodesOnDemand);
        test_support::ExpectStreamsLikeWholeDecode(lazy, *whole, dir.Path().string());
    }
}

TEST_F(BmpPictureTest, APixelPastAShortPaletteInTheLastRowReadRefusesTheFile) {
    std::vector<std::uint8_t> file =
        WriteBmp({.width = 1201, .height = 900, .bitCount = 8, .paletteEntries = 200});
    // The bottom row's last pixel: stored first, read by no pane, only by a pass over all rows.
    const std::size_t pixels = 14 + 40 + 4 * 200;
    file[pixels + 1200] = 250;
    ASSERT_FALSE(test_support::DecodedWhole(file).has_value());
    try {
        LoadPicture(Write(file));
        ADD_FAILURE() << "accepted what the whole decode refuses";
    } catch (const PlatformError& error) {
        EXPECT_EQ(error.Detail(), "corrupt data: pixel refers past the end of the palette");
    }
}

TEST_F(BmpPictureTest, RleFilesShowAndWriteWhatAWholeDecodeGives) {
    for (const int bitCount : {8, 4}) {
        for (const bool complete : {true, false}) {
            SCOPED_TRACE(testing::Message() << "RLE" << bitCount << (complete ? ", complete" : ""));
            // Taller than the corner kept on opening, and too large a pane to compose whole.
            const std::vector<std::uint8_t> file = WriteRleBmp(400, 700, bitCount, complete);
            const auto whole = test_support::DecodedWhole(file);
            ASSERT_TRUE(whole.has_value());
            ASSERT_EQ(whole->Pixels().HasAlpha(), !complete);
            const Picture lazy = LoadPicture(Write(file));
            EXPECT_TRUE(lazy.DecodesOnDemand());
            test_support::ExpectStreamsLikeWholeDecode(lazy, *whole, dir.Path().string());
        }
    }
}

TEST_F(BmpPictureTest, AcceptsExactlyWhatAWholeDecodeAcceptsWhenCutShort) {
    for (const auto& file :
         {WriteBmp({.width = 700, .height = 520}), WriteRleBmp(400, 700, 4, false)}) {
        for (const std::size_t length :
             {file.size() - 1, file.size() - 2100, file.size() / 2, std::size_t{2000000}}) {
            SCOPED_TRACE(length);
            std::vector<std::uint8_t> cut =
                test_support::Slice(file, 0, std::min(length, file.size()));
            const auto whole = test_support::DecodedWhole(cut);
            try {
                const Picture lazy = LoadPicture(Write(cut));
                ASSERT_TRUE(whole.has_value()) << "accepted what the whole decode refuses";
                EXPECT_TRUE(test_support::DrawsAndWritesAlike(lazy, *whole, dir.Path().string()));
            } catch (const PlatformError& error) {
                EXPECT_EQ(error.Number(), ErrorNumber::InvalidPicture);
                EXPECT_FALSE(whole.has_value()) << "refused what the whole decode accepts";
            }
        }
    }
}

TEST_F(BmpPictureTest, PanesReadOnlyTheTopRowsWhichABottomUpFileStoresLast) {
    const std::vector<std::uint8_t> file = WriteBmp({.width = 1500, .height = 1500});
    const std::string path = Write(file);
    const auto bytesRead = [] {
        std::ifstream io("/proc/self/io");
        std::string key;
        long long value = 0;
        while (io >> key >> value) {
            if (key == "rchar:") return value;
        }
        return -1LL;
    };
    const long long start = bytesRead();
    const Picture picture = LoadPicture(path);
    Bitmap pane(32, 32, PixelFormat::Colour, 0xFFFFFF);
    picture.Render(pane);
    EXPECT_LT(bytesRead() - start, static_cast<long long>(file.size()) / 10);
    const Picture whole = *test_support::DecodedWhole(file);
    Bitmap wanted(32, 32, PixelFormat::Colour, 0xFFFFFF);
    whole.Render(wanted);
    EXPECT_EQ(pane, wanted);
}

}  // namespace
}  // namespace platform
