#include "platform/graphics/bitmap.h"

#include <gtest/gtest.h>

#include "platform/graphics/colour.h"

namespace platform {
namespace {

TEST(Colour, SystemColoursComeFromTheFixedStandardScheme) {
    EXPECT_EQ(ResolveColour(0x80000005), RGB(255, 255, 255));
    EXPECT_EQ(ResolveColour(0x80000008), RGB(0, 0, 0));
    EXPECT_EQ(ResolveColour(0x8000000F), RGB(240, 240, 240));
    EXPECT_EQ(ResolveColour(0x00123456), 0x00123456u);
    EXPECT_EQ(ResolveColour(0x7F123456), 0x00123456u)
        << "stray high bits below the flag are not colour";
    EXPECT_EQ(ResolveColour(0x800000FF), 0u) << "an unknown system colour is black, not garbage";
}

TEST(Colour, ValuesThatNameNoColourAreInvalid) {
    EXPECT_TRUE(IsValidColour(0x00FFFFFF));
    EXPECT_TRUE(IsValidColour(0x80000005));
    EXPECT_FALSE(IsValidColour(0xFFFFFFFF)) << "-1, what Point returns outside a pane";
    EXPECT_FALSE(IsValidColour(0x01000000));
    EXPECT_FALSE(IsValidColour(0x800000FF));
}

TEST(Bitmap, CropClipsToItsBounds) {
    Bitmap source(4, 3, PixelFormat::Colour);
    source.Set(3, 2, RGB(1, 2, 3));
    const Bitmap part = source.Crop(2, 1, 10, 10);
    EXPECT_EQ(part.Width(), 2);
    EXPECT_EQ(part.Height(), 2);
    EXPECT_EQ(part.At(1, 1), RGB(1, 2, 3));
    EXPECT_TRUE(source.Crop(5, 5, 2, 2).IsEmpty());
}

TEST(Bitmap, CompositeBlendsByAlphaOnlyWhenTheSourceHasIt) {
    Bitmap over(1, 1, PixelFormat::Colour, WithAlpha(RGB(255, 0, 0), 0));
    Bitmap target(1, 1, PixelFormat::Colour, RGB(0, 0, 255));
    Composite(over, target, 0, 0);
    EXPECT_EQ(target.At(0, 0), RGB(255, 0, 0)) << "without alpha the source is copied";
    over.SetHasAlpha(true);
    target.Fill(RGB(0, 0, 255));
    Composite(over, target, 0, 0);
    EXPECT_EQ(target.At(0, 0), RGB(0, 0, 255));
}

TEST(Bitmap, ScaleAveragesTheCoveredPixels) {
    Bitmap source(2, 2, PixelFormat::Colour);
    source.Set(0, 0, RGB(200, 0, 0));
    source.Set(1, 1, RGB(200, 0, 0));
    const Bitmap one = Scale(source, 1, 1);
    EXPECT_EQ(ColourOf(one.At(0, 0)), RGB(100, 0, 0));
    const Bitmap up = Scale(source, 4, 4);
    EXPECT_EQ(ColourOf(up.At(3, 3)), RGB(200, 0, 0));
    EXPECT_EQ(ColourOf(up.At(3, 0)), 0u);
}

}  // namespace
}  // namespace platform
