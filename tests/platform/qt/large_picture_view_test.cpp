// What the window costs for a large picture: it goes on while an overview is made on a worker
// thread and shows it when ready, and it paints only what it shows of a pane grown to a huge
// picture's size.
#include <gtest/gtest.h>

#include <QTest>
#include <QThread>
#include <algorithm>
#include <condition_variable>
#include <mutex>

#include "platform/qt/form_window.h"
#include "platform/qt/overview_worker.h"
#include "platform/qt/qt_runtime.h"
#include "tests/platform/qt/test_forms.h"
#include "tests/support/form_services.h"
#include "tests/support/form_windows.h"

namespace platform::test {
namespace {

// A picture that decodes on demand and makes its overview only once the test lets it.
class GatedSource final : public PictureSource {
  public:
    explicit GatedSource(COLORREF colour) : m_colour(colour) {}
    PictureType Type() const override { return PictureType::Bitmap; }
    int Width() const override { return 40; }
    int Height() const override { return 40; }
    void Render(Bitmap& target) const override { target.Fill(m_colour); }
    Bitmap Overview(int width, int height) const override {
        std::unique_lock lock(m_mutex);
        m_thread = QThread::currentThread();
        m_opened.wait(lock, [this] { return m_open; });
        return Bitmap(width, height, PixelFormat::Colour, 0xFF000000u | m_colour);
    }
    Bitmap Pixels() const override { return Bitmap(40, 40, PixelFormat::Colour, m_colour); }
    bool DecodesOnDemand() const override { return true; }

    void Open() {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_opened.notify_all();
    }
    QThread* Thread() const {
        std::lock_guard lock(m_mutex);
        return m_thread;
    }

  private:
    COLORREF m_colour;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_opened;
    mutable QThread* m_thread = nullptr;
    bool m_open = false;
};

// Its file dialogs are never answered: each one is cancelled.
class OverviewTest : public ::testing::Test, protected test_support::FormServices<QtRuntime> {
  protected:
    QColor ShownAt(FormWindow* window, int x, int y) {
        return window->findChild<QWidget*>("ClientArea")->grab().toImage().pixelColor(x, y);
    }
};

TEST_F(OverviewTest, TheWindowPaintsWithoutWaitingAndShowsTheOverviewWhenItIsMade) {
    MainLikeForm form(services);
    auto source = std::make_shared<GatedSource>(RGB(0, 0, 255));
    form.imgPreview.SetPicture(Picture(source));
    form.Show();
    FormWindow* window = test_support::ShownWindow(form);
    ASSERT_NE(window, nullptr);

    // The overview is being made, held at the gate: the window still paints, with the
    // form's background where the image control will be.
    EXPECT_TRUE(QTest::qWaitFor([&] { return source->Thread() != nullptr; }, 5000));
    EXPECT_NE(source->Thread(), QThread::currentThread());
    EXPECT_EQ(ShownAt(window, 9, 5), QColor(240, 240, 240));

    source->Open();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ShownAt(window, 9, 5) == QColor(0, 0, 255); }, 5000));
    EXPECT_EQ(ShownAt(window, 87, 79), QColor(0, 0, 255));
    form.Unload();
}

TEST_F(OverviewTest, AnOverviewMadeForAPictureReplacedMeanwhileIsNeverShown) {
    MainLikeForm form(services);
    auto old = std::make_shared<GatedSource>(RGB(0, 0, 255));
    form.imgPreview.SetPicture(Picture(old));
    form.Show();
    FormWindow* window = test_support::ShownWindow(form);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return old->Thread() != nullptr; }, 5000));

    auto replacement = std::make_shared<GatedSource>(RGB(0, 255, 0));
    replacement->Open();
    form.imgPreview.SetPicture(Picture(replacement));
    old->Open();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ShownAt(window, 9, 5) == QColor(0, 255, 0); }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(ShownAt(window, 9, 5), QColor(0, 255, 0));
    form.Unload();
}

// A picture of any size, drawn as its pixels are asked for, never held; records the largest
// area it was drawn on.
class HugeSource final : public PictureSource {
  public:
    PictureType Type() const override { return PictureType::Bitmap; }
    int Width() const override { return 3000; }
    int Height() const override { return 3000; }
    void Render(Bitmap& target) const override {
        largest = std::max(largest, static_cast<long long>(target.Width()) * target.Height());
        target.Fill(RGB(255, 0, 0));
    }
    Bitmap Overview(int width, int height) const override {
        return Bitmap(width, height, PixelFormat::Colour, 0xFF0000FFu);
    }
    Bitmap Pixels() const override { return Bitmap(); }
    mutable long long largest = 0;
};

TEST_F(OverviewTest, APaneGrownToAHugePictureIsComposedOnlyWhereTheWindowShowsIt) {
    MainLikeForm form(services);
    form.Show();
    FormWindow* window = test_support::ShownWindow(form);
    ASSERT_NE(window, nullptr);
    auto source = std::make_shared<HugeSource>();
    form.Picture3.SetAutoSize(true);
    form.Picture3.SetPicture(Picture(source));
    ASSERT_EQ(form.Picture3.Width(), 3004);
    window->repaint();
    QTest::qWait(20);
    EXPECT_EQ(window->findChild<QWidget*>("ClientArea")->grab().toImage().pixelColor(20, 85),
              QColor(255, 0, 0));
    // The client area is 132 x 90 and the pane's inside starts at (12, 74).
    EXPECT_GT(source->largest, 0);
    EXPECT_LE(source->largest, 132LL * 90);
    form.Unload();
}

TEST(OverviewWorker, DropsAResultWhoseWorkerHasGone) {
    bool delivered = false;
    {
        OverviewWorker worker;
        worker.Run([] { return Bitmap(2, 2, PixelFormat::Colour); },
                   [&](Bitmap) { delivered = true; });
    }  // waits for the job; its result is queued to a worker that is gone
    QTest::qWait(20);
    EXPECT_FALSE(delivered);
}

}  // namespace
}  // namespace platform::test
