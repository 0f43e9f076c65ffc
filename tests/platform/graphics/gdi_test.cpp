#include "platform/graphics/gdi.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

TEST(Gdi, NewMemoryContextHoldsMonochromeStockBitmap) {
    Gdi gdi;
    const HDC dc = gdi.CreateCompatibleDC(HDC{});
    ASSERT_FALSE(IsNull(dc));
    const Bitmap* initial = gdi.GetBitmap(gdi.GetSelectedBitmap(dc));
    ASSERT_NE(initial, nullptr);
    EXPECT_EQ(initial->Width(), 1);
    EXPECT_EQ(initial->Height(), 1);
    EXPECT_TRUE(initial->IsMonochrome());
}

TEST(Gdi, CompatibleBitmapTakesTheFormatOfWhatTheContextDrawsOn) {
    Gdi gdi;
    const HDC memory = gdi.CreateCompatibleDC(HDC{});
    const HDC window = gdi.CreateWindowDC();
    EXPECT_TRUE(gdi.GetBitmap(gdi.CreateCompatibleBitmap(memory, 32, 32))->IsMonochrome());
    EXPECT_FALSE(gdi.GetBitmap(gdi.CreateCompatibleBitmap(window, 32, 32))->IsMonochrome());

    const HBITMAP colour = gdi.CreateBitmap(Bitmap(4, 4, PixelFormat::Colour));
    gdi.SelectObject(memory, colour);
    EXPECT_FALSE(gdi.GetBitmap(gdi.CreateCompatibleBitmap(memory, 8, 8))->IsMonochrome());
    EXPECT_TRUE(IsNull(gdi.CreateCompatibleBitmap(memory, 0, 8)));
    EXPECT_TRUE(IsNull(gdi.CreateCompatibleBitmap(HDC{12345}, 8, 8)));
}

TEST(Gdi, SelectObjectReturnsWhatItReplaced) {
    Gdi gdi;
    const HDC dc = gdi.CreateCompatibleDC(HDC{});
    const HBITMAP mask = gdi.CreateCompatibleBitmap(dc, 32, 32);
    const HBITMAP old = gdi.SelectObject(dc, mask);
    EXPECT_EQ(old, gdi.StockBitmap());
    EXPECT_EQ(gdi.SelectObject(dc, old), mask);
    EXPECT_EQ(gdi.SelectObject(dc, mask), old);
}

TEST(Gdi, BitmapSelectedIntoOneContextCannotJoinAnother) {
    Gdi gdi;
    const HDC first = gdi.CreateCompatibleDC(HDC{});
    const HDC second = gdi.CreateCompatibleDC(HDC{});
    const HBITMAP bitmap = gdi.CreateCompatibleBitmap(first, 8, 8);
    gdi.SelectObject(first, bitmap);
    EXPECT_TRUE(IsNull(gdi.SelectObject(second, bitmap)));
}

TEST(Gdi, DeletingASelectedBitmapFailsUntilItIsSelectedOut) {
    Gdi gdi;
    const HDC dc = gdi.CreateCompatibleDC(HDC{});
    const HBITMAP bitmap = gdi.CreateCompatibleBitmap(dc, 32, 32);
    const HBITMAP old = gdi.SelectObject(dc, bitmap);
    EXPECT_FALSE(gdi.DeleteObject(bitmap));
    gdi.SelectObject(dc, old);
    EXPECT_TRUE(gdi.DeleteObject(bitmap));
    EXPECT_FALSE(gdi.DeleteObject(bitmap));
    EXPECT_FALSE(gdi.DeleteObject(gdi.StockBitmap()));
}

TEST(Gdi, ColourToMonochromeMakesTheSourceBackgroundOne) {
    Gdi gdi;
    Bitmap pixels(3, 1, PixelFormat::Colour);
    pixels.Set(0, 0, kWhite);
    pixels.Set(1, 0, RGB(0, 0, 0));
    pixels.Set(2, 0, RGB(255, 255, 254));  // one step off the background stays 0
    const HDC source = gdi.CreateCompatibleDC(HDC{});
    gdi.SelectObject(source, gdi.CreateBitmap(pixels));
    gdi.SetBkColor(source, SystemColour(COLOR_WINDOW));

    const HDC dest = gdi.CreateCompatibleDC(HDC{});
    const HBITMAP mono = gdi.CreateCompatibleBitmap(dest, 3, 1);
    gdi.SelectObject(dest, mono);
    ASSERT_TRUE(gdi.BitBlt(dest, 0, 0, 3, 1, source, 0, 0, SRCCOPY));

    const Bitmap* result = gdi.GetBitmap(mono);
    EXPECT_EQ(result->At(0, 0), 1u);
    EXPECT_EQ(result->At(1, 0), 0u);
    EXPECT_EQ(result->At(2, 0), 0u);

    gdi.SetBkColor(source, kRed);
    gdi.BitBlt(dest, 0, 0, 3, 1, source, 0, 0, SRCCOPY);
    EXPECT_EQ(result->At(0, 0), 0u) << "the rule follows the context's background colour";
}

TEST(Gdi, MonochromeToColourUsesTheDestinationTextAndBackground) {
    Gdi gdi;
    Bitmap bits(2, 1, PixelFormat::Monochrome);
    bits.Set(0, 0, 0);
    bits.Set(1, 0, 1);
    const HDC source = gdi.CreateCompatibleDC(HDC{});
    gdi.SelectObject(source, gdi.CreateBitmap(bits));

    const HDC dest = gdi.CreateCompatibleDC(HDC{});
    const HBITMAP colour = gdi.CreateBitmap(Bitmap(2, 1, PixelFormat::Colour));
    gdi.SelectObject(dest, colour);
    gdi.SetTextColor(dest, RGB(1, 2, 3));
    gdi.SetBkColor(dest, RGB(4, 5, 6));
    ASSERT_TRUE(gdi.BitBlt(dest, 0, 0, 2, 1, source, 0, 0, SRCCOPY));
    EXPECT_EQ(gdi.GetBitmap(colour)->At(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(gdi.GetBitmap(colour)->At(1, 0), RGB(4, 5, 6));
}

TEST(Gdi, BitBltCopiesColourAndClipsToBothBitmaps) {
    Gdi gdi;
    Bitmap pixels(2, 2, PixelFormat::Colour);
    pixels.Set(1, 1, kRed);
    const HDC source = gdi.CreateCompatibleDC(HDC{});
    gdi.SelectObject(source, gdi.CreateBitmap(pixels));
    const HDC dest = gdi.CreateCompatibleDC(HDC{});
    const HBITMAP target = gdi.CreateBitmap(Bitmap(3, 3, PixelFormat::Colour, kWhite));
    gdi.SelectObject(dest, target);

    ASSERT_TRUE(gdi.BitBlt(dest, 1, 1, 32, 32, source, 0, 0, SRCCOPY));
    const Bitmap* result = gdi.GetBitmap(target);
    EXPECT_EQ(result->At(0, 0), kWhite);
    EXPECT_EQ(result->At(1, 1), 0u);
    EXPECT_EQ(result->At(2, 2), kRed);
    EXPECT_FALSE(gdi.BitBlt(dest, 0, 0, 1, 1, source, 0, 0, 0x00EE0086)) << "only SRCCOPY";
    EXPECT_FALSE(gdi.BitBlt(dest, 0, 0, 1, 1, gdi.CreateWindowDC(), 0, 0, SRCCOPY));
}

TEST(Gdi, IconIsMadeFromCopiesOfBothBitmaps) {
    Gdi gdi;
    Bitmap colourPixels(2, 1, PixelFormat::Colour);
    colourPixels.Set(0, 0, kRed);
    Bitmap maskBits(2, 1, PixelFormat::Monochrome);
    maskBits.Set(1, 0, 1);
    ICONINFO info;
    info.fIcon = 1;
    info.xHotspot = 16;
    info.yHotspot = 16;
    info.hbmColor = gdi.CreateBitmap(colourPixels);
    info.hbmMask = gdi.CreateBitmap(maskBits);

    const HICON icon = gdi.CreateIconIndirect(info);
    ASSERT_FALSE(IsNull(icon));
    gdi.GetBitmapForWriting(info.hbmColor)->Fill(0);
    EXPECT_TRUE(gdi.DeleteObject(info.hbmColor));
    EXPECT_TRUE(gdi.DeleteObject(info.hbmMask));

    const IconImage* image = gdi.GetIcon(icon);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->colour.At(0, 0), kRed);
    EXPECT_EQ(image->mask.At(1, 0), 1u);
    EXPECT_EQ(image->xHotspot, 16);
    EXPECT_TRUE(image->isIcon);
    EXPECT_TRUE(gdi.DestroyIcon(icon));
    EXPECT_FALSE(gdi.DestroyIcon(icon));
    EXPECT_TRUE(IsNull(gdi.CreateIconIndirect(ICONINFO{})));
}

TEST(Gdi, LiveObjectCountsReturnToWhereTheyStarted) {
    Gdi gdi;
    const LiveObjects before = gdi.CountLiveObjects();
    const HDC dc = gdi.CreateCompatibleDC(HDC{});
    const HBITMAP bitmap = gdi.CreateCompatibleBitmap(dc, 4, 4);
    const HICON icon = gdi.CreateIcon(IconImage{});
    EXPECT_EQ(gdi.CountLiveObjects(),
              (LiveObjects{before.contexts + 1, before.bitmaps + 1, before.icons + 1}));
    gdi.DestroyIcon(icon);
    gdi.DeleteObject(bitmap);
    gdi.DeleteDC(dc);
    EXPECT_EQ(gdi.CountLiveObjects(), before);
}

}  // namespace
}  // namespace platform
