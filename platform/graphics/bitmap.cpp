#include "platform/graphics/bitmap.h"

#include <algorithm>
#include <cassert>

#include "platform/graphics/scale_box.h"

namespace platform {

Bitmap::Bitmap(int width, int height, PixelFormat format, std::uint32_t fill)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)), m_format(format) {
    m_pixels.assign(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), fill);
}

Bitmap Bitmap::Crop(int x, int y, int width, int height) const {
    const int left = std::clamp(x, 0, m_width);
    const int top = std::clamp(y, 0, m_height);
    const int right = std::clamp(x + std::max(width, 0), left, m_width);
    const int bottom = std::clamp(y + std::max(height, 0), top, m_height);
    Bitmap part(right - left, bottom - top, m_format);
    part.m_hasAlpha = m_hasAlpha;
    for (int row = top; row < bottom; ++row) {
        std::copy(Row(row) + left, Row(row) + right, part.Row(row - top));
    }
    return part;
}

void Bitmap::Fill(std::uint32_t value) {
    std::fill(m_pixels.begin(), m_pixels.end(), value);
}

namespace {

std::uint32_t Blend(std::uint32_t over, std::uint32_t under) {
    const std::uint32_t a = AlphaOf(over);
    if (a == 255) return ColourOf(over);
    if (a == 0) return ColourOf(under);
    std::uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t o = (over >> shift) & 0xFF;
        const std::uint32_t u = (under >> shift) & 0xFF;
        // Rounded (o * a + u * (255 - a)) / 255.
        const std::uint32_t mixed = (o * a + u * (255 - a) + 127) / 255;
        result |= mixed << shift;
    }
    return result;
}

}  // namespace

void Composite(const Bitmap& source, Bitmap& target, int x, int y) {
    assert(!target.IsMonochrome());
    for (int sy = 0; sy < source.Height(); ++sy) {
        const int ty = y + sy;
        if (ty < 0 || ty >= target.Height()) continue;
        for (int sx = 0; sx < source.Width(); ++sx) {
            const int tx = x + sx;
            if (tx < 0 || tx >= target.Width()) continue;
            std::uint32_t pixel = source.At(sx, sy);
            if (source.IsMonochrome()) pixel = pixel ? 0xFFFFFF : 0;
            const std::uint32_t under = target.At(tx, ty);
            target.Set(tx, ty, source.HasAlpha() ? Blend(pixel, under) : ColourOf(pixel));
        }
    }
}

Bitmap Scale(const Bitmap& source, int width, int height) {
    Bitmap result(width, height, PixelFormat::Colour);
    result.SetHasAlpha(source.HasAlpha());
    if (source.IsEmpty() || result.IsEmpty()) return result;
    for (int ty = 0; ty < height; ++ty) {
        const int y0 = ScaleBoxStart(ty, height, source.Height());
        const int y1 = ScaleBoxEnd(ty, height, source.Height());
        for (int tx = 0; tx < width; ++tx) {
            const int x0 = ScaleBoxStart(tx, width, source.Width());
            const int x1 = ScaleBoxEnd(tx, width, source.Width());
            std::uint64_t sum[4] = {0, 0, 0, 0};
            for (int sy = y0; sy < y1; ++sy) {
                for (int sx = x0; sx < x1; ++sx) {
                    std::uint32_t p = source.At(sx, sy);
                    if (source.IsMonochrome()) p = p ? 0xFFFFFFFF : 0xFF000000;
                    for (int c = 0; c < 4; ++c) sum[c] += (p >> (8 * c)) & 0xFF;
                }
            }
            const std::uint64_t n =
                static_cast<std::uint64_t>(y1 - y0) * static_cast<std::uint64_t>(x1 - x0);
            std::uint32_t p = 0;
            for (int c = 0; c < 4; ++c) p |= RoundedMean(sum[c], n) << (8 * c);
            result.Set(tx, ty, p);
        }
    }
    return result;
}

}  // namespace platform
