#include "platform/forms/image_control.h"

#include <gtest/gtest.h>

#include "platform/graphics/colour.h"

namespace platform {
namespace {

// 4x2: left half red, right half blue, all opaque.
Picture TwoColourPicture() {
    Bitmap pixels(4, 2, PixelFormat::Colour, RGB(255, 0, 0));
    for (int y = 0; y < 2; ++y) {
        pixels.Set(2, y, RGB(0, 0, 255));
        pixels.Set(3, y, RGB(0, 0, 255));
    }
    return Picture::FromBitmap(std::move(pixels));
}

TEST(ImageControl, StretchScalesTheWholePictureToTheControl) {
    ImageControl image("imgPreview");
    image.Move(8, 0, 80, 80);
    image.SetStretch(true);
    image.SetPicture(TwoColourPicture());
    EXPECT_EQ(image.Width(), 80) << "a stretched control keeps its size";
    const Bitmap& overview = image.Overview();
    ASSERT_EQ(overview.Width(), 80);
    ASSERT_EQ(overview.Height(), 80);
    EXPECT_EQ(ColourOf(overview.At(0, 79)), RGB(255, 0, 0));
    EXPECT_EQ(ColourOf(overview.At(79, 0)), RGB(0, 0, 255));
}

TEST(ImageControl, OverviewIsKeptUntilThePictureOrSizeChanges) {
    ImageControl image("imgPreview");
    image.Move(0, 0, 10, 10);
    image.SetStretch(true);
    image.SetPicture(TwoColourPicture());
    const Bitmap* first = &image.Overview();
    const std::uint32_t before = first->At(0, 0);
    EXPECT_EQ(&image.Overview(), first);
    image.Move(0, 0, 20, 10);
    EXPECT_EQ(image.Overview().Width(), 20);
    image.SetPicture(Picture::FromBitmap(Bitmap(1, 1, PixelFormat::Colour, RGB(0, 255, 0))));
    EXPECT_NE(image.Overview().At(0, 0), before);
    image.SetPicture(Picture());
    EXPECT_TRUE(image.Overview().IsEmpty());
}

TEST(ImageControl, WithoutStretchTheControlTakesThePictureSize) {
    ImageControl image("imgPreview");
    image.Move(0, 0, 80, 80);
    image.SetPicture(TwoColourPicture());
    EXPECT_EQ(image.Width(), 4);
    EXPECT_EQ(image.Height(), 2);
    EXPECT_EQ(ColourOf(image.Overview().At(3, 1)), RGB(0, 0, 255));
}

}  // namespace
}  // namespace platform
