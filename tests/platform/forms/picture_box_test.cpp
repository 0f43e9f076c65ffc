#include "platform/forms/picture_box.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/platform_error.h"

namespace platform {
namespace {

constexpr OLE_COLOR kWindow = 0x80000005;
constexpr OLE_COLOR kWindowText = 0x80000008;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A picture of any size whose pixels are computed when drawn, never held: pixel (x, y) is
// red where x + y is even, blue elsewhere. Records the largest surface it was drawn on.
class HugeSource final : public PictureSource {
  public:
    HugeSource(int width, int height, long long* largestTarget)
        : m_width(width), m_height(height), m_largestTarget(largestTarget) {}
    PictureType Type() const override { return PictureType::Bitmap; }
    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    void Render(Bitmap& target) const override {
        *m_largestTarget =
            std::max(*m_largestTarget, static_cast<long long>(target.Width()) * target.Height());
        for (int y = 0; y < std::min(target.Height(), m_height); ++y) {
            for (int x = 0; x < std::min(target.Width(), m_width); ++x) {
                target.Set(x, y, (x + y) % 2 == 0 ? kRed : kBlue);
            }
        }
    }
    Bitmap Overview(int width, int height) const override {
        return Bitmap(width, height, PixelFormat::Colour);
    }
    Bitmap Pixels() const override { return Bitmap(); }

  private:
    int m_width;
    int m_height;
    long long* m_largestTarget;
};

Picture SolidPicture(int width, int height, COLORREF colour) {
    return Picture::FromBitmap(Bitmap(width, height, PixelFormat::Colour, colour));
}

// An icon whose left half is see-through and right half opaque green.
Picture HalfTransparentIcon(int size) {
    IconImage icon;
    icon.colour = Bitmap(size, size, PixelFormat::Colour);
    icon.mask = Bitmap(size, size, PixelFormat::Monochrome);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const bool seeThrough = x < size / 2;
            icon.mask.Set(x, y, seeThrough ? 1 : 0);
            icon.colour.Set(x, y, seeThrough ? 0 : RGB(0, 255, 0));
        }
    }
    return Picture::FromIcon(std::move(icon));
}

class PictureBoxTest : public ::testing::Test {
  protected:
    PictureBoxTest() {
        pane.Move(10, 10, 36, 36);
        pane.SetBackColor(kWindow);
        pane.SetForeColor(kWindowText);
    }
    Gdi gdi;
    PictureBox pane{gdi, "Picture1"};
};

TEST_F(PictureBoxTest, InnerAreaIsOuterSizeLessTheBorderAndNeverNegative) {
    EXPECT_EQ(pane.InnerWidth(), 32);
    EXPECT_EQ(pane.InnerHeight(), 32);
    pane.Move(0, 0, 3, 5);
    EXPECT_EQ(pane.InnerWidth(), 0);
    EXPECT_EQ(pane.InnerHeight(), 1);
    EXPECT_THROW(pane.SetWidth(-1), PlatformError);
}

TEST_F(PictureBoxTest, PointIsMinusOneOutsideTheInnerArea) {
    EXPECT_EQ(pane.Point(0, 0), 0xFFFFFF);
    EXPECT_EQ(pane.Point(31.9f, 31.9f), 0xFFFFFF);
    EXPECT_EQ(pane.Point(32, 0), -1);
    EXPECT_EQ(pane.Point(0, 32), -1);
    EXPECT_EQ(pane.Point(-0.5f, 3), -1);
    EXPECT_EQ(pane.Point(1e30f, 3), -1);
}

TEST_F(PictureBoxTest, AutoSizeMakesTheOuterSizeThePictureSizePlusBorder) {
    pane.SetAutoSize(true);
    pane.SetPicture(SolidPicture(48, 20, kRed));
    EXPECT_EQ(pane.Width(), 52);
    EXPECT_EQ(pane.Height(), 24);
    pane.SetPicture(Picture());
    EXPECT_EQ(pane.Width(), 52) << "an empty picture leaves the size alone";
    EXPECT_EQ(pane.Point(0, 0), 0xFFFFFF);
}

TEST_F(PictureBoxTest, WithoutAutoSizeThePictureIsClippedToThePane) {
    pane.SetPicture(SolidPicture(48, 20, kRed));
    EXPECT_EQ(pane.Width(), 36);
    EXPECT_EQ(pane.Point(31, 19), static_cast<std::int32_t>(kRed));
    EXPECT_EQ(pane.Point(31, 20), 0xFFFFFF);
}

TEST_F(PictureBoxTest, IconsDrawThroughTheirMaskOverTheBackground) {
    pane.SetBackColor(kBlue);
    pane.SetPicture(HalfTransparentIcon(32));
    EXPECT_EQ(pane.Point(3, 3), static_cast<std::int32_t>(kBlue));
    EXPECT_EQ(pane.Point(20, 3), static_cast<std::int32_t>(RGB(0, 255, 0)));
}

TEST_F(PictureBoxTest, PSetResolvesSystemColoursAndDefaultsToForeColor) {
    pane.SetForeColor(kRed);
    pane.PSet(1.7f, 2.2f);
    EXPECT_EQ(pane.Point(1, 2), static_cast<std::int32_t>(kRed));
    pane.PSet(3, 4, kWindowText);
    EXPECT_EQ(pane.Point(3, 4), 0);
    pane.PSet(40, 4, kRed);  // outside: ignored
    EXPECT_EQ(pane.Shown().Width(), 32);
}

TEST_F(PictureBoxTest, DrawingWithAValueThatNamesNoColourFailsAndChangesNothing) {
    pane.PSet(5, 5, kBlue);
    EXPECT_THROW(pane.PSet(5, 5, 0xFFFFFFFF), PlatformError);
    EXPECT_THROW(pane.Line(0, 0, 9, 9, 0x01000000), PlatformError);
    EXPECT_EQ(pane.Point(5, 5), static_cast<std::int32_t>(kBlue));
}

TEST_F(PictureBoxTest, LineFillsTheBoxWithBothCornersInclusive) {
    pane.Move(0, 0, 40, 40);  // inner 36x36
    pane.Line(31, 31, 0, 0, kRed);
    EXPECT_EQ(pane.Point(0, 0), static_cast<std::int32_t>(kRed));
    EXPECT_EQ(pane.Point(31, 31), static_cast<std::int32_t>(kRed));
    EXPECT_EQ(pane.Point(32, 31), 0xFFFFFF);
    EXPECT_EQ(pane.Point(31, 32), 0xFFFFFF);
    pane.Line(-10, 34, 100, 100, kBlue);  // clipped
    EXPECT_EQ(pane.Point(0, 35), static_cast<std::int32_t>(kBlue));
    EXPECT_EQ(pane.Point(35, 34), static_cast<std::int32_t>(kBlue));
    EXPECT_EQ(pane.Point(35, 33), 0xFFFFFF);
}

TEST_F(PictureBoxTest, DrawingWithoutAutoRedrawIsLostAtTheNextRepaint) {
    pane.SetPicture(SolidPicture(8, 8, kBlue));
    pane.PSet(20, 20, kRed);
    EXPECT_EQ(pane.Point(20, 20), static_cast<std::int32_t>(kRed)) << "Point reads the screen";
    EXPECT_EQ(pane.Image().Pixels().At(20, 20), 0xFFFFFFu) << "Image leaves screen drawing out";
    pane.Refresh();
    EXPECT_EQ(pane.Point(20, 20), 0xFFFFFF);

    pane.PSet(20, 20, kRed);
    pane.SetBackColor(0x00FF00);
    EXPECT_EQ(pane.Point(20, 20), 0x00FF00);
    EXPECT_EQ(pane.Point(2, 2), static_cast<std::int32_t>(kBlue));

    pane.PSet(20, 20, kRed);
    pane.SetHeight(37);
    EXPECT_EQ(pane.Point(20, 20), 0x00FF00);
}

TEST_F(PictureBoxTest, DrawingWithAutoRedrawSurvivesRefreshAndResizeButNotANewPicture) {
    pane.SetAutoRedraw(true);
    pane.Line(0, 0, 31, 31, 0);
    pane.PSet(5, 6, kRed);
    pane.Refresh();
    EXPECT_EQ(pane.Point(5, 6), static_cast<std::int32_t>(kRed));
    Bitmap image = pane.Image().Pixels();
    EXPECT_EQ(image.Width(), 32);
    EXPECT_EQ(image.At(5, 6), kRed);
    EXPECT_EQ(image.At(7, 7), 0u);

    pane.Move(10, 10, 46, 46);  // grows: drawing kept, new area is background
    EXPECT_EQ(pane.Point(5, 6), static_cast<std::int32_t>(kRed));
    EXPECT_EQ(pane.Point(40, 40), 0xFFFFFF);

    pane.SetPicture(Picture());
    EXPECT_EQ(pane.Point(5, 6), 0xFFFFFF);
}

TEST_F(PictureBoxTest, ImageIsANewBitmapOfTheInnerArea) {
    pane.SetPicture(HalfTransparentIcon(16));
    Picture image = pane.Image();
    EXPECT_EQ(image.Type(), PictureType::Bitmap);
    EXPECT_EQ(image.Width(), 32);
    EXPECT_EQ(image.Height(), 32);
    EXPECT_EQ(image.Pixels().At(2, 2), 0xFFFFFFu);
    EXPECT_EQ(image.Pixels().At(10, 2), RGB(0, 255, 0));
    EXPECT_FALSE(image.SameObject(pane.Image()));
}

TEST_F(PictureBoxTest, HdcCarriesTheResolvedColoursAndFollowsTheirChanges) {
    pane.SetAutoRedraw(true);
    EXPECT_EQ(gdi.GetBkColor(pane.hDC()), 0xFFFFFFu);
    EXPECT_EQ(gdi.GetTextColor(pane.hDC()), 0u);
    pane.SetBackColor(0);
    pane.SetForeColor(kRed);
    EXPECT_EQ(gdi.GetBkColor(pane.hDC()), 0u);
    EXPECT_EQ(gdi.GetTextColor(pane.hDC()), kRed);
}

TEST_F(PictureBoxTest, BitBltIntoMonochromeGivesOneExactlyWhereTheBackgroundShows) {
    pane.SetAutoRedraw(true);
    pane.PSet(3, 4, RGB(255, 255, 254));  // one step off white stays 0
    pane.PSet(7, 1);                      // window text
    const HDC memDC = gdi.CreateCompatibleDC(HDC{});
    const HBITMAP mono = gdi.CreateCompatibleBitmap(memDC, 32, 32);
    const HBITMAP old = gdi.SelectObject(memDC, mono);
    ASSERT_TRUE(gdi.BitBlt(memDC, 0, 0, 32, 32, pane.hDC(), 0, 0, SRCCOPY));
    const Bitmap* bits = gdi.GetBitmap(mono);
    ASSERT_TRUE(bits->IsMonochrome());
    int zeros = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) zeros += bits->At(x, y) == 0 ? 1 : 0;
    }
    EXPECT_EQ(zeros, 2);
    EXPECT_EQ(bits->At(3, 4), 0u);
    EXPECT_EQ(bits->At(7, 1), 0u);
    gdi.SelectObject(memDC, old);
    gdi.DeleteDC(memDC);
    gdi.DeleteObject(mono);
}

TEST(PictureBoxMemory, AHugePictureInASmallPaneNeverCostsAFullSizeSurface) {
    Gdi gdi;
    long long largestTarget = 0;
    PictureBox pane(gdi, "Picture1");
    pane.SetAutoSize(true);
    pane.SetAutoRedraw(true);
    pane.SetPicture(Picture(std::make_shared<HugeSource>(10000, 10000, &largestTarget)));
    EXPECT_EQ(pane.Width(), 10004);
    pane.SetWidth(36);
    pane.SetHeight(36);
    EXPECT_EQ(pane.Point(1, 0), static_cast<std::int32_t>(kBlue));
    const Bitmap* surface = gdi.GetBitmap(gdi.GetSelectedBitmap(pane.hDC()));
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->Width(), 32);
    EXPECT_EQ(surface->Height(), 32);
    EXPECT_EQ(largestTarget, 32 * 32);
}

TEST(PictureBoxMemory, APaneHoldsOneContextAndOneBitmapWhateverItDoes) {
    Gdi gdi;
    const LiveObjects before = gdi.CountLiveObjects();
    {
        PictureBox pane(gdi, "Picture1");
        EXPECT_EQ(gdi.CountLiveObjects(),
                  (LiveObjects{before.contexts + 1, before.bitmaps + 1, 0}));
        pane.SetAutoSize(true);
        pane.SetPicture(SolidPicture(20, 20, kRed));
        pane.Move(0, 0, 60, 60);
        pane.PSet(1, 1, kBlue);
        pane.SetAutoRedraw(true);
        pane.Line(0, 0, 5, 5, kBlue);
        pane.Image();
        EXPECT_EQ(gdi.CountLiveObjects(),
                  (LiveObjects{before.contexts + 1, before.bitmaps + 1, 0}));
    }
    EXPECT_EQ(gdi.CountLiveObjects(), before);
}

}  // namespace
}  // namespace platform
