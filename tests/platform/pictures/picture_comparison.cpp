#include "tests/platform/pictures/picture_comparison.h"

#include <algorithm>
#include <cstdlib>
#include <span>

#include "platform/pictures/codecs/bmp_codec.h"
#include "platform/pictures/codecs/gif_codec.h"
#include "platform/pictures/codecs/ico_codec.h"
#include "platform/pictures/codecs/jpeg_codec.h"
#include "platform/pictures/codecs/png_codec.h"
#include "platform/pictures/picture_files.h"
#include "tests/support/test_files.h"

namespace test_support {

using platform::Bitmap;
using platform::Picture;
using platform::PixelFormat;

namespace {

std::uint32_t Hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    std::uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

bool StartsWith(const std::vector<std::uint8_t>& bytes, std::initializer_list<std::uint8_t> head) {
    return bytes.size() >= head.size() && std::equal(head.begin(), head.end(), bytes.begin());
}

template <typename T>
std::optional<T> ValueOf(platform::codecs::Result<T> result) {
    if (!result) return std::nullopt;
    return std::move(result).Value();
}

std::string Describe(const Bitmap& a, const Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) {
        return std::to_string(a.Width()) + "x" + std::to_string(a.Height()) + " against " +
               std::to_string(b.Width()) + "x" + std::to_string(b.Height());
    }
    if (a.HasAlpha() != b.HasAlpha()) return "alpha flag differs";
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            if (a.At(x, y) != b.At(x, y)) {
                char text[96];
                std::snprintf(text, sizeof text, "pixel (%d, %d) is %08X, not %08X", x, y,
                              a.At(x, y), b.At(x, y));
                return text;
            }
        }
    }
    return "equal";
}

// The same pixels as they are drawn: a bitmap without alpha draws every pixel opaque, so
// its flag may differ from one whose pixels are all opaque anyway.
bool LookAlike(const Bitmap& a, const Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            const std::uint32_t p = a.HasAlpha() ? a.At(x, y) : a.At(x, y) | 0xFF000000u;
            const std::uint32_t q = b.HasAlpha() ? b.At(x, y) : b.At(x, y) | 0xFF000000u;
            if (p != q) return false;
        }
    }
    return true;
}

}  // namespace

Bitmap PhotoLikePattern(int width, int height, unsigned seed, int noise) {
    Bitmap pixels(width, height, PixelFormat::Colour);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t h =
                Hash(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), seed);
            const auto channel = [&](int base, int slope, int shift) {
                const int n =
                    static_cast<int>((h >> shift) % static_cast<std::uint32_t>(2 * noise + 1)) -
                    noise;
                return static_cast<std::uint32_t>(std::clamp(base + slope + n, 0, 255));
            };
            const std::uint32_t r = channel(60, (x * 140) / std::max(width, 1), 0);
            const std::uint32_t g = channel(200, -(y * 150) / std::max(height, 1), 8);
            const std::uint32_t b = channel(90, ((x + y) * 120) / std::max(width + height, 1), 16);
            pixels.Set(x, y, 0xFF000000u | (b << 16) | (g << 8) | r);
        }
    }
    return pixels;
}

std::optional<Picture> DecodedWhole(const std::vector<std::uint8_t>& file) {
    namespace codecs = platform::codecs;
    const std::span<const std::uint8_t> data(file);
    std::optional<Bitmap> pixels;
    if (StartsWith(file, {'B', 'M'})) {
        pixels = ValueOf(codecs::DecodeBmp(data));
    } else if (StartsWith(file, {0xFF, 0xD8, 0xFF})) {
        pixels = ValueOf(codecs::DecodeJpeg(data));
    } else if (StartsWith(file, {'G', 'I', 'F', '8'})) {
        pixels = ValueOf(codecs::DecodeGif(data));
    } else if (StartsWith(file, {0x89, 'P', 'N', 'G'})) {
        pixels = ValueOf(codecs::DecodePng(data));
    } else if (StartsWith(file, {0, 0, 1, 0}) || StartsWith(file, {0, 0, 2, 0})) {
        auto icon = ValueOf(codecs::DecodeIco(data));
        if (!icon) return std::nullopt;
        return Picture::FromIcon(std::move(*icon));
    }
    if (!pixels) return std::nullopt;
    return Picture::FromBitmap(std::move(*pixels));
}

::testing::AssertionResult DrawsAndWritesAlike(const Picture& actual, const Picture& expected,
                                               const std::string& folder) {
    if (actual.Type() != expected.Type() || actual.Width() != expected.Width() ||
        actual.Height() != expected.Height()) {
        return ::testing::AssertionFailure() << "type or size differs";
    }
    const int w = expected.Width(), h = expected.Height();
    // Pane sizes, odd and even widths (an even crop edge is where colour smoothing shows),
    // and sizes around what a picture that decodes on demand keeps.
    std::vector<std::pair<int, int>> sizes = {{1, 1},   {16, 16},  {31, 33},  {32, 32},
                                              {33, 17}, {36, 36},  {64, 64},  {80, 80},
                                              {127, 9}, {128, 96}, {129, 70}, {200, 150}};
    if (static_cast<long long>(w + 3) * (h + 2) <= 1024 * 1024) sizes.push_back({w + 3, h + 2});
    for (const auto& [tw, th] : sizes) {
        // White is the picture panes' background; black is picImage's.
        for (const std::uint32_t background : {0xFFFFFFu, 0x000000u}) {
            Bitmap drawn(tw, th, PixelFormat::Colour, background);
            Bitmap wanted(tw, th, PixelFormat::Colour, background);
            actual.Render(drawn);
            expected.Render(wanted);
            if (drawn != wanted) {
                return ::testing::AssertionFailure()
                       << "Render at " << tw << "x" << th << ": " << Describe(drawn, wanted);
            }
        }
        const Bitmap region = actual.Region(tw, th);
        const Bitmap wantedRegion = expected.Region(tw, th);
        if (!LookAlike(region, wantedRegion)) {
            return ::testing::AssertionFailure()
                   << "Region at " << tw << "x" << th << ": " << Describe(region, wantedRegion);
        }
    }
    if (actual.Pixels() != expected.Pixels())
        return ::testing::AssertionFailure() << "Pixels differ";

    const std::string extension = expected.Type() == platform::PictureType::Icon ? ".ico" : ".bmp";
    const std::string actualFile = folder + "/actual" + extension;
    const std::string expectedFile = folder + "/expected" + extension;
    platform::SavePicture(actual, actualFile);
    platform::SavePicture(expected, expectedFile);
    if (ReadBytes(actualFile) != ReadBytes(expectedFile)) {
        return ::testing::AssertionFailure() << "the written " << extension << " files differ";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult OverviewNear(const Picture& actual, const Picture& expected, int width,
                                        int height, int tolerance, double meanTolerance) {
    const Bitmap overview = actual.Overview(width, height);
    const Bitmap wanted = expected.Overview(width, height);
    if (overview.Width() != width || overview.Height() != height ||
        overview.HasAlpha() != wanted.HasAlpha()) {
        return ::testing::AssertionFailure() << "size or alpha flag differs";
    }
    int worst = 0;
    double sum = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int shift = 0; shift < 32; shift += 8) {
                const int d = std::abs(static_cast<int>((overview.At(x, y) >> shift) & 0xFF) -
                                       static_cast<int>((wanted.At(x, y) >> shift) & 0xFF));
                worst = std::max(worst, d);
                sum += d;
            }
        }
    }
    const double mean = width * height > 0 ? sum / (4.0 * width * height) : 0;
    if (worst > tolerance || mean > meanTolerance) {
        return ::testing::AssertionFailure() << "largest difference " << worst << ", mean " << mean;
    }
    return ::testing::AssertionSuccess() << "largest difference " << worst << ", mean " << mean;
}

void ExpectStreamsLikeWholeDecode(const Picture& lazy, const Picture& whole,
                                  const std::string& folder) {
    EXPECT_TRUE(DrawsAndWritesAlike(lazy, whole, folder));
    EXPECT_TRUE(OverviewNear(lazy, whole, 80, 80, 0, 0));
    EXPECT_TRUE(OverviewNear(lazy, whole, 33, 700, 0, 0));
    Bitmap pane(whole.Width(), whole.Height(), PixelFormat::Colour, 0xFFFFFF);
    Bitmap wanted = pane;
    lazy.Render(pane);
    whole.Render(wanted);
    EXPECT_EQ(pane, wanted);
}

}  // namespace test_support
