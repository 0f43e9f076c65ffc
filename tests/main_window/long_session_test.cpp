// A long session: many conversions in one window leave no graphics objects and no memory
// behind. ZENTROVA_LONG_SESSION_ROUNDS sets the number of rounds (each one picture and one
// icon converted, with the Size menu changed in between).
#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/pictures/picture_files.h"
#include "tests/support/main_window_fixture.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZENTROVA_HEAP_FROM_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ZENTROVA_HEAP_FROM_SANITIZER 1
#endif
#ifdef ZENTROVA_HEAP_FROM_SANITIZER
#include <sanitizer/allocator_interface.h>
#endif

namespace zentrova {
namespace {

using platform::Bitmap;
using platform::PixelFormat;
using platform::RGB;

// Bytes the program holds on the heap now (not the peak, and not what the allocator keeps).
std::size_t HeapInUse() {
#ifdef ZENTROVA_HEAP_FROM_SANITIZER
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

long PeakResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int Rounds() {
    const char* text = std::getenv("ZENTROVA_LONG_SESSION_ROUNDS");
    const int rounds = text ? std::atoi(text) : 0;
    return rounds > 100 ? rounds : 400;
}

class LongSession : public test_support::MainWindowTest {
  protected:
    void SetUp() override {
        Bitmap pixels(40, 40, PixelFormat::Colour, RGB(255, 0, 0));
        pixels.Set(2, 3, RGB(0, 0, 255));
        platform::SavePicture(platform::Picture::FromBitmap(pixels), picture);
        platform::IconImage icon;
        icon.colour = Bitmap(32, 32, PixelFormat::Colour, RGB(0, 128, 0));
        icon.mask = Bitmap(32, 32, PixelFormat::Monochrome);
        icon.mask.Set(0, 0, 1);
        platform::SavePicture(platform::Picture::FromIcon(icon), iconFile);
    }

    // File > Open of the picture, then of the icon, each saved under a fixed name; the Size
    // menu moves on between them. The doubles forget what they saw, so only the window grows.
    void Round(int round) {
        dialogs.Answer(picture);
        dialogs.Answer(dir.File("out.ico"));
        Main().mnuOpen.Click();
        Main().mnuSize.Click(round % Main().mnuSize.Count());
        dialogs.Answer(iconFile);
        dialogs.Answer(dir.File("out.bmp"));
        Main().mnuOpen.Click();
        dialogs.requests.clear();
        ASSERT_TRUE(Messages().empty()) << Messages().front().prompt;
    }

    std::string picture = dir.File("photo.bmp");
    std::string iconFile = dir.File("app.ico");
};

TEST_F(LongSession, ManyConversionsLeaveNoGraphicsObjectsAndNoMemoryBehind) {
    const int rounds = Rounds();
    for (int round = 0; round < 100; ++round) Round(round);
    const platform::LiveObjects objects = gdi.CountLiveObjects();
    const std::size_t heap = HeapInUse();
    const long peak = PeakResidentKb();

    for (int round = 100; round < rounds; ++round) Round(round);

    EXPECT_EQ(gdi.CountLiveObjects(), objects);
    // The same work again needs the same memory; a few kilobytes allow for the allocator.
    EXPECT_LE(HeapInUse(), heap + 16 * 1024) << "heap after 100 rounds: " << heap;
    std::printf(
        "after 100 rounds: heap %zu B, peak %ld KB; after %d rounds: heap %zu B, "
        "peak %ld KB; objects %d contexts %d bitmaps %d icons\n",
        heap, peak, rounds, HeapInUse(), PeakResidentKb(), objects.contexts, objects.bitmaps,
        objects.icons);
}

}  // namespace
}  // namespace zentrova
