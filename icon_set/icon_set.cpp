#include "icon_set/icon_set.h"

#include <algorithm>
#include <memory>

#include "icon_set/linear_scaler.h"

namespace zentrova {

namespace {

using platform::Bitmap;
using platform::PixelFormat;

constexpr int kPngFrom = 256;

// Makes every pixel of the key colour transparent, exactly, before anything is scaled.
class KeySink final : public platform::codecs::RowSink {
  public:
    KeySink(std::uint32_t key, platform::codecs::RowSink& next) : m_key(key), m_next(next) {}
    void Start(int width, int height) override {
        m_row.assign(static_cast<std::size_t>(std::max(width, 0)), 0);
        m_next.Start(width, height);
    }
    void Row(int y, const std::uint32_t* pixels) override {
        for (std::size_t x = 0; x < m_row.size(); ++x) {
            m_row[x] = platform::ColourOf(pixels[x]) == m_key ? 0 : pixels[x];
        }
        m_next.Row(y, m_row.data());
    }

  private:
    std::uint32_t m_key;
    platform::codecs::RowSink& m_next;
    std::vector<std::uint32_t> m_row;
};

// The hot spot given in the largest entry's pixels, at the same place in a smaller one.
int HotspotIn(int given, int size, int largest) {
    const long long scaled = (2LL * given + 1) * size / (2LL * largest);
    return static_cast<int>(std::clamp<long long>(scaled, 0, size - 1));
}

platform::codecs::IconSetEntry Entry(const Bitmap& scaled, const Fit& fit, int size,
                                     const IconSetOptions& options) {
    platform::codecs::IconSetEntry entry;
    platform::IconImage& icon = entry.icon;
    icon.colour = Bitmap(size, size, PixelFormat::Colour, 0);
    icon.colour.SetHasAlpha(true);
    for (int y = 0; y < fit.height; ++y) {
        std::copy_n(scaled.Row(y), fit.width, icon.colour.Row(fit.top + y) + fit.left);
    }
    icon.mask = Bitmap(size, size, PixelFormat::Monochrome, 0);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (platform::AlphaOf(icon.colour.At(x, y)) == 0) icon.mask.Set(x, y, 1);
        }
    }
    icon.isIcon = !options.cursor;
    if (options.cursor) {
        const int largest = options.sizes.back();
        icon.xHotspot = HotspotIn(options.xHotspot, size, largest);
        icon.yHotspot = HotspotIn(options.yHotspot, size, largest);
    }
    entry.asPng = options.pngEverySize || size >= kPngFrom;
    return entry;
}

}  // namespace

Fit FitInSquare(int width, int height, int size) {
    if (width <= 0 || height <= 0 || size <= 0) return {};
    // 64-bit: a side of up to 65,535 times a size of up to 256.
    const long long w = width, h = height, s = size;
    Fit fit;
    if (w >= h) {
        fit.width = size;
        fit.height = static_cast<int>(std::max(1LL, (2 * s * h + w) / (2 * w)));
    } else {
        fit.height = size;
        fit.width = static_cast<int>(std::max(1LL, (2 * s * w + h) / (2 * h)));
    }
    fit.left = (size - fit.width) / 2;
    fit.top = (size - fit.height) / 2;
    return fit;
}

std::optional<std::vector<platform::codecs::IconSetEntry>> MakeIconSet(
    const platform::Picture& picture, const IconSetOptions& options) {
    if (options.sizes.empty() || picture.IsEmpty()) return std::nullopt;
    std::vector<Fit> fits;
    std::vector<std::unique_ptr<LightScaler>> scalers;
    std::vector<LightScaler*> each;
    for (const int size : options.sizes) {
        fits.push_back(FitInSquare(picture.Width(), picture.Height(), size));
        scalers.push_back(std::make_unique<LightScaler>(fits.back().width, fits.back().height));
        each.push_back(scalers.back().get());
    }
    LightRows light(each);

    // A key colour is matched at natural size, where the colour is exact; otherwise the
    // decoder may stop at what the largest entry needs.
    const Fit& largest = *std::ranges::max_element(
        fits, {}, [](const Fit& fit) { return static_cast<long long>(fit.width) * fit.height; });
    bool decoded = false;
    if (options.key == KeyRule::None) {
        decoded = picture.Stream(largest.width, largest.height, light);
    } else {
        std::uint32_t key = options.keyColour;
        if (options.key == KeyRule::TopLeft) {
            const Bitmap corner = picture.Region(1, 1);
            if (corner.IsEmpty()) return std::nullopt;
            key = platform::ColourOf(corner.At(0, 0));
        }
        KeySink keyed(key, light);
        decoded = picture.Stream(picture.Width(), picture.Height(), keyed);
    }
    if (!decoded) return std::nullopt;

    std::vector<platform::codecs::IconSetEntry> entries;
    for (std::size_t i = 0; i < options.sizes.size(); ++i) {
        entries.push_back(Entry(scalers[i]->Finish(), fits[i], options.sizes[i], options));
    }
    return entries;
}

}  // namespace zentrova
