// The entries made from a whole picture: scaled in linear light with premultiplied alpha, and
// fitted to their squares.
#include "icon_set/icon_set.h"

#include <gtest/gtest.h>

#include <tuple>

namespace zentrova {
namespace {

using platform::AlphaOf;
using platform::Bitmap;
using platform::PixelFormat;

std::vector<platform::codecs::IconSetEntry> Make(const Bitmap& pixels, std::vector<int> sizes) {
    IconSetOptions options;
    options.sizes = std::move(sizes);
    auto entries = MakeIconSet(platform::Picture::FromBitmap(pixels), options);
    EXPECT_TRUE(entries);
    return entries ? *entries : std::vector<platform::codecs::IconSetEntry>{};
}

TEST(IconSet, AWhiteDiscOnTransparencyKeepsNoDarkFringe) {
    Bitmap disc(256, 256, PixelFormat::Colour, 0);
    disc.SetHasAlpha(true);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const int dx = x - 128, dy = y - 128;
            if (dx * dx + dy * dy < 100 * 100) disc.Set(x, y, 0xFFFFFFFF);
        }
    }
    for (const auto& entry : Make(disc, {16, 48})) {
        int edge = 0;
        for (int y = 0; y < entry.icon.Height(); ++y) {
            for (int x = 0; x < entry.icon.Width(); ++x) {
                const std::uint32_t p = entry.icon.colour.At(x, y);
                EXPECT_EQ(entry.icon.mask.At(x, y), AlphaOf(p) == 0 ? 1u : 0u);
                if (AlphaOf(p) == 0) continue;
                EXPECT_EQ(p & 0xFFFFFF, 0xFFFFFFu) << x << "," << y << " alpha " << AlphaOf(p);
                if (AlphaOf(p) < 255) ++edge;
            }
        }
        EXPECT_GT(edge, 0) << "the disc's edge is soft at " << entry.icon.Width();
    }
}

TEST(IconSet, ACheckerboardBecomesTheGreyOfEqualLight) {
    Bitmap board(256, 256, PixelFormat::Colour);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) board.Set(x, y, (x + y) % 2 ? 0xFFFFFF : 0);
    }
    for (const auto& entry : Make(board, {16, 24})) {
        for (const std::uint32_t p : entry.icon.colour.Pixels()) {
            EXPECT_EQ(AlphaOf(p), 255u);
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(static_cast<int>((p >> (8 * c)) & 0xFF), 188, 1);
        }
    }
}

TEST(IconSet, OneColourStaysExactlyThatColourFittedAndCentred) {
    // 100 x 60 fits 16 x 16 as 16 x 10, three rows of transparency above and below; enlarged
    // to 256 as 256 x 154. 1001 x 601 is first averaged over blocks, the last ones partial.
    for (const auto& [width, height, sizes] : std::vector<std::tuple<int, int, std::vector<int>>>{
             {100, 60, {16, 256}}, {1001, 601, {16}}}) {
        const Bitmap flat(width, height, PixelFormat::Colour, 0x3C8A21);
        for (const auto& entry : Make(flat, sizes)) {
            const int side = entry.icon.Width();
            const Fit fit = FitInSquare(width, height, side);
            EXPECT_EQ(fit.width, side);
            EXPECT_EQ(fit.height, side == 16 ? 10 : 154);
            EXPECT_EQ(fit.top, (side - fit.height) / 2);
            for (int y = 0; y < side; ++y) {
                for (int x = 0; x < side; ++x) {
                    const bool inside = y >= fit.top && y < fit.top + fit.height;
                    EXPECT_EQ(entry.icon.colour.At(x, y), inside ? 0xFF3C8A21u : 0u)
                        << width << ": " << x << "," << y;
                }
            }
        }
    }
    EXPECT_EQ(FitInSquare(1, 65535, 256).width, 1) << "never less than a pixel";
}

}  // namespace
}  // namespace zentrova
