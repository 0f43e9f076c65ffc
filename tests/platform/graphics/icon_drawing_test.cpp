#include <gtest/gtest.h>

#include "platform/graphics/colour.h"
#include "platform/graphics/icon_image.h"

namespace platform {
namespace {

// A 2x1 icon: an opaque blue pixel, then a see-through one.
IconImage BlueThenClear() {
    IconImage icon;
    icon.colour = Bitmap(2, 1, PixelFormat::Colour);
    icon.colour.Set(0, 0, RGB(0, 0, 255));
    icon.mask = Bitmap(2, 1, PixelFormat::Monochrome);
    icon.mask.Set(1, 0, 1);
    return icon;
}

TEST(DrawIcon, ShowsTheBackgroundThroughSeeThroughPixelsOnAnyBackground) {
    for (const COLORREF background : {RGB(255, 255, 255), RGB(0, 0, 0), RGB(12, 200, 77)}) {
        Bitmap target(2, 1, PixelFormat::Colour, background);
        DrawIcon(BlueThenClear(), target, 0, 0);
        EXPECT_EQ(target.At(0, 0), RGB(0, 0, 255));
        EXPECT_EQ(target.At(1, 0), background);
    }
}

TEST(DrawIcon, ColourUnderASetMaskBitIsXoredWithTheSurface) {
    IconImage icon = BlueThenClear();
    icon.colour.Set(1, 0, RGB(255, 255, 255));  // the classic "invert the screen" pixel
    Bitmap target(2, 1, PixelFormat::Colour, RGB(10, 20, 30));
    DrawIcon(icon, target, 0, 0);
    EXPECT_EQ(target.At(1, 0), RGB(245, 235, 225));
}

TEST(DrawIcon, OpaqueBlackStaysBlack) {
    IconImage icon = BlueThenClear();
    icon.colour.Set(0, 0, 0);
    Bitmap target(2, 1, PixelFormat::Colour, RGB(255, 255, 255));
    DrawIcon(icon, target, 0, 0);
    EXPECT_EQ(target.At(0, 0), 0u);
}

TEST(DrawIcon, IconWithAlphaBlendsByAlpha) {
    IconImage icon = BlueThenClear();
    icon.colour.Set(0, 0, WithAlpha(RGB(0, 0, 255), 128));
    icon.colour.Set(1, 0, WithAlpha(RGB(255, 0, 0), 0));
    icon.colour.SetHasAlpha(true);
    Bitmap target(2, 1, PixelFormat::Colour, RGB(255, 255, 255));
    DrawIcon(icon, target, 0, 0);
    EXPECT_EQ(target.At(0, 0), RGB(127, 127, 255));
    EXPECT_EQ(target.At(1, 0), RGB(255, 255, 255));
}

TEST(DrawIcon, ClipsAtTheSurfaceEdges) {
    Bitmap target(1, 1, PixelFormat::Colour, RGB(9, 9, 9));
    DrawIcon(BlueThenClear(), target, -1, 0);
    EXPECT_EQ(target.At(0, 0), RGB(9, 9, 9));
}

TEST(IconWithAlpha, IsOpaqueExactlyWhereTheMaskIsZero) {
    const Bitmap withAlpha = IconWithAlpha(BlueThenClear());
    EXPECT_TRUE(withAlpha.HasAlpha());
    EXPECT_EQ(AlphaOf(withAlpha.At(0, 0)), 255u);
    EXPECT_EQ(AlphaOf(withAlpha.At(1, 0)), 0u);
}

}  // namespace
}  // namespace platform
