#include "platform/pictures/sources/decoding_source.h"

#include <algorithm>
#include <vector>

namespace platform {

namespace {

// Draws each row over the target as Composite draws the decoded bitmap: opaque, every pixel
// replaces what is below; otherwise it is blended by its alpha.
class DrawSink final : public codecs::RowSink {
  public:
    DrawSink(Bitmap& target, bool opaque) : m_target(target), m_opaque(opaque) {}
    void Start(int width, int) override {
        m_line = Bitmap(std::min(width, m_target.Width()), 1, PixelFormat::Colour);
        m_line.SetHasAlpha(!m_opaque);
    }
    void Row(int y, const std::uint32_t* pixels) override {
        if (y >= m_target.Height()) return;
        std::copy_n(pixels, m_line.Width(), m_line.Row(0));
        Composite(m_line, m_target, 0, y);
    }

  private:
    Bitmap& m_target;
    bool m_opaque;
    Bitmap m_line;
};

// Hands rows on with their alpha byte set: a picture drawn opaque may hold anything there.
class OpaqueSink final : public codecs::RowSink {
  public:
    explicit OpaqueSink(codecs::RowSink& next) : m_next(next) {}
    void Start(int width, int height) override {
        m_row.assign(static_cast<std::size_t>(std::max(width, 0)), 0);
        m_next.Start(width, height);
    }
    void Row(int y, const std::uint32_t* pixels) override {
        for (std::size_t x = 0; x < m_row.size(); ++x) m_row[x] = WithAlpha(pixels[x], 255);
        m_next.Row(y, m_row.data());
    }
    // Spaced pixels pass through, made opaque, so that an interlaced picture is not gathered
    // whole for a sink that needs no whole rows.
    bool TakesSpacedPixels() const override { return m_next.TakesSpacedPixels(); }
    void SpacedPixels(int y, int first, int step, int count, const std::uint32_t* pixels) override {
        const auto n =
            static_cast<std::size_t>(std::clamp(count, 0, static_cast<int>(m_row.size())));
        for (std::size_t i = 0; i < n; ++i) m_row[i] = WithAlpha(pixels[i], 255);
        m_next.SpacedPixels(y, first, step, static_cast<int>(n), m_row.data());
    }

  private:
    codecs::RowSink& m_next;
    std::vector<std::uint32_t> m_row;
};

}  // namespace

void TopLeftSink::Start(int width, int height) {
    m_region = Bitmap(std::clamp(m_width, 0, width), std::clamp(m_height, 0, height),
                      PixelFormat::Colour, 0);
}

void TopLeftSink::Row(int y, const std::uint32_t* pixels) {
    if (y < m_region.Height()) std::copy_n(pixels, m_region.Width(), m_region.Row(y));
}

Bitmap TopLeftSink::Take(bool hasAlpha) {
    m_region.SetHasAlpha(hasAlpha);
    return std::move(m_region);
}

DecodingSource::Size DecodingSource::KeptRegionSize(int side) const {
    return {std::min(m_width, side), std::min(m_height, side)};
}

Bitmap DecodingSource::DecodeRegion(int width, int height) const {
    TopLeftSink sink(width, height);
    bool hasAlpha = false;
    if (!DecodeTop(width, height, sink, hasAlpha)) return Bitmap();
    return sink.Take(hasAlpha);
}

void DecodingSource::KeepRegion(Bitmap region) const {
    std::lock_guard lock(m_regionLock);
    if (region.Width() * static_cast<long long>(region.Height()) >
        m_region.Width() * static_cast<long long>(m_region.Height())) {
        m_region = std::move(region);
    }
}

Bitmap DecodingSource::Region(int width, int height) const {
    width = std::clamp(width, 0, m_width);
    height = std::clamp(height, 0, m_height);
    if (static_cast<long long>(width) * height > kKeptRegionPixels) {
        return DecodeRegion(width, height);
    }
    std::lock_guard lock(m_regionLock);
    if (width > m_region.Width() || height > m_region.Height()) {
        const Size kept = KeptRegionSize(kKeptRegionSide);
        Bitmap region = DecodeRegion(std::max(width, kept.width), std::max(height, kept.height));
        if (region.IsEmpty()) return region;
        m_region = std::move(region);
    }
    return m_region.Crop(0, 0, width, height);
}

void DecodingSource::Render(Bitmap& target) const {
    const int width = std::min(target.Width(), m_width);
    const int height = std::min(target.Height(), m_height);
    if (static_cast<long long>(width) * height <= kKeptRegionPixels) {
        Composite(Region(width, height), target, 0, 0);
        return;
    }
    // A large target, such as a pane grown to the picture's size, gets the rows straight
    // from the decoder: no second picture-sized bitmap.
    DrawSink sink(target, Opaque());
    bool hasAlpha = false;
    DecodeTop(width, height, sink, hasAlpha);
}

Bitmap DecodingSource::Overview(int width, int height) const {
    width = std::max(width, 0);
    height = std::max(height, 0);
    std::lock_guard lock(m_overviewLock);
    if (!m_overview.IsEmpty() && m_overview.Width() == width && m_overview.Height() == height) {
        return m_overview;
    }
    Bitmap overview = DecodeOverview(width, height);
    if (overview.Width() != width || overview.Height() != height) {
        return Bitmap(width, height, PixelFormat::Colour);
    }
    if (static_cast<long long>(width) * height <= kKeptOverviewPixels) m_overview = overview;
    return overview;
}

bool DecodingSource::Stream(int minWidth, int minHeight, codecs::RowSink& sink) const {
    if (!Opaque()) return DecodeAllRows(minWidth, minHeight, sink);
    OpaqueSink opaque(sink);
    return DecodeAllRows(minWidth, minHeight, opaque);
}

}  // namespace platform
