#include "platform/pictures/ole_picture.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

constexpr GUID kIID_IDispatch{0x00020400, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

PICTDESC IconDesc(HICON icon) {
    PICTDESC desc;
    desc.cbSizeofstruct = sizeof(PICTDESC);
    desc.picType = PICTYPE_ICON;
    desc.hicon = icon;
    return desc;
}

IconImage SmallIcon() {
    IconImage image;
    image.colour = Bitmap(3, 2, PixelFormat::Colour, RGB(1, 2, 3));
    image.mask = Bitmap(3, 2, PixelFormat::Monochrome);
    return image;
}

TEST(OleCreatePictureIndirect, OwningPictureDestroysItsIconWithItsLastHolder) {
    Gdi gdi;
    const HICON icon = gdi.CreateIcon(SmallIcon());
    Picture picture;
    ASSERT_EQ(OleCreatePictureIndirect(gdi, IconDesc(icon), kIID_IDispatch, true, picture), S_OK);
    EXPECT_EQ(picture.Type(), PictureType::Icon);
    EXPECT_EQ(picture.Width(), 3);
    EXPECT_EQ(picture.Height(), 2);

    Picture pane = picture;  // a second holder
    picture = Picture();
    EXPECT_EQ(gdi.CountLiveObjects().icons, 1);
    pane = Picture();
    EXPECT_EQ(gdi.CountLiveObjects().icons, 0);
}

TEST(OleCreatePictureIndirect, PictureThatDoesNotOwnLeavesTheIcon) {
    Gdi gdi;
    const HICON icon = gdi.CreateIcon(SmallIcon());
    {
        Picture picture;
        ASSERT_EQ(OleCreatePictureIndirect(gdi, IconDesc(icon), kIID_IDispatch, false, picture),
                  S_OK);
    }
    EXPECT_NE(gdi.GetIcon(icon), nullptr);
}

TEST(OleCreatePictureIndirect, RefusesABadDescriptionOrInterface) {
    Gdi gdi;
    const HICON icon = gdi.CreateIcon(SmallIcon());
    Picture picture;
    PICTDESC wrongSize = IconDesc(icon);
    wrongSize.cbSizeofstruct = 16;
    EXPECT_EQ(OleCreatePictureIndirect(gdi, wrongSize, kIID_IDispatch, true, picture),
              E_INVALIDARG);
    EXPECT_EQ(OleCreatePictureIndirect(gdi, IconDesc(HICON{}), kIID_IDispatch, true, picture),
              E_INVALIDARG);
    GUID unknown = kIID_IDispatch;
    unknown.Data1 = 0x00020401;
    EXPECT_EQ(OleCreatePictureIndirect(gdi, IconDesc(icon), unknown, true, picture), E_NOINTERFACE);
    EXPECT_TRUE(picture.IsEmpty());
    EXPECT_NE(gdi.GetIcon(icon), nullptr) << "a refused call takes no ownership";
}

TEST(OleCreatePictureIndirect, IconPictureDrawsThroughItsMask) {
    Gdi gdi;
    IconImage image = SmallIcon();
    image.mask.Set(2, 1, 1);
    Picture picture;
    OleCreatePictureIndirect(gdi, IconDesc(gdi.CreateIcon(image)), kIID_IDispatch, true, picture);
    Bitmap target(4, 4, PixelFormat::Colour, RGB(200, 200, 200));
    picture.Render(target);
    EXPECT_EQ(target.At(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(target.At(2, 1), RGB(200, 200, 200) ^ RGB(1, 2, 3));
    EXPECT_EQ(target.At(3, 3), RGB(200, 200, 200));
}

}  // namespace
}  // namespace platform
