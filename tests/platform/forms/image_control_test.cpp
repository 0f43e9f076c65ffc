#include "platform/forms/image_control.h"

#include <gtest/gtest.h>

#include <memory>

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

// A picture that says it decodes from its file: solid `colour`, counting its overviews.
class OnDemandSource final : public PictureSource {
  public:
    explicit OnDemandSource(COLORREF colour) : m_colour(colour) {}
    PictureType Type() const override { return PictureType::Bitmap; }
    int Width() const override { return 100; }
    int Height() const override { return 50; }
    void Render(Bitmap& target) const override { target.Fill(m_colour); }
    Bitmap Overview(int width, int height) const override {
        ++overviews;
        return Bitmap(width, height, PixelFormat::Colour, 0xFF000000u | m_colour);
    }
    Bitmap Pixels() const override { return Bitmap(100, 50, PixelFormat::Colour, m_colour); }
    bool DecodesOnDemand() const override { return true; }
    mutable int overviews = 0;

  private:
    COLORREF m_colour;
};

TEST(ImageControl, AnInMemoryPictureGetsItsOverviewAtOnceWhenRequested) {
    ImageControl image("imgPreview");
    image.Move(0, 0, 8, 8);
    image.SetStretch(true);
    image.SetPicture(TwoColourPicture());
    EXPECT_EQ(image.ReadyOverview(), nullptr);
    EXPECT_FALSE(image.RequestOverview().has_value());
    ASSERT_NE(image.ReadyOverview(), nullptr);
    EXPECT_EQ(image.ReadyOverview()->Width(), 8);
}

TEST(ImageControl, APictureThatDecodesOnDemandHandsOutItsOverviewAsWorkOnce) {
    ImageControl image("imgPreview");
    image.Move(0, 0, 20, 10);
    image.SetStretch(true);
    auto source = std::make_shared<OnDemandSource>(RGB(0, 255, 0));
    image.SetPicture(Picture(source));
    int notified = 0;
    image.SetObserver([&] { ++notified; });

    auto job = image.RequestOverview();
    ASSERT_TRUE(job.has_value());
    EXPECT_EQ(source->overviews, 0) << "nothing is decoded by the request itself";
    EXPECT_FALSE(image.RequestOverview().has_value()) << "the work is handed out once";
    EXPECT_EQ(image.ReadyOverview(), nullptr);

    image.DeliverOverview(job->ticket, job->make());
    ASSERT_NE(image.ReadyOverview(), nullptr);
    EXPECT_EQ(ColourOf(image.ReadyOverview()->At(19, 9)), RGB(0, 255, 0));
    EXPECT_EQ(notified, 1) << "the view hears that the overview is there";
    EXPECT_FALSE(image.RequestOverview().has_value());
}

TEST(ImageControl, AnOverviewThatArrivesAfterThePictureOrSizeChangedIsDropped) {
    ImageControl image("imgPreview");
    image.Move(0, 0, 20, 10);
    image.SetStretch(true);
    image.SetPicture(Picture(std::make_shared<OnDemandSource>(RGB(0, 255, 0))));
    auto first = image.RequestOverview();
    ASSERT_TRUE(first.has_value());
    image.Move(0, 0, 30, 10);
    image.DeliverOverview(first->ticket, first->make());
    EXPECT_EQ(image.ReadyOverview(), nullptr) << "made for the old size";

    auto second = image.RequestOverview();
    ASSERT_TRUE(second.has_value()) << "the new size needs its own";
    image.SetPicture(Picture(std::make_shared<OnDemandSource>(RGB(0, 0, 255))));
    image.DeliverOverview(second->ticket, second->make());
    EXPECT_EQ(image.ReadyOverview(), nullptr) << "made for the old picture";

    auto third = image.RequestOverview();
    ASSERT_TRUE(third.has_value());
    image.DeliverOverview(third->ticket, third->make());
    ASSERT_NE(image.ReadyOverview(), nullptr);
    EXPECT_EQ(ColourOf(image.ReadyOverview()->At(0, 0)), RGB(0, 0, 255));
}

}  // namespace
}  // namespace platform
