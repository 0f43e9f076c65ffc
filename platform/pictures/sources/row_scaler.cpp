#include "platform/pictures/sources/row_scaler.h"

#include <algorithm>

#include "platform/graphics/scale_box.h"

namespace platform {

RowScaler::RowScaler(int width, int height)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)) {}

void RowScaler::Start(int width, int height) {
    m_sourceWidth = std::max(width, 0);
    m_sourceHeight = std::max(height, 0);
    m_result = Bitmap(m_width, m_height, PixelFormat::Colour);
    if (m_sourceWidth == 0 || m_sourceHeight == 0) return;
    for (int tx = 0; tx < m_width; ++tx) {
        m_left.push_back(ScaleBoxStart(tx, m_width, m_sourceWidth));
        m_right.push_back(ScaleBoxEnd(tx, m_width, m_sourceWidth));
    }
    for (int ty = 0; ty < m_height; ++ty) {
        m_top.push_back(ScaleBoxStart(ty, m_height, m_sourceHeight));
        m_bottom.push_back(ScaleBoxEnd(ty, m_height, m_sourceHeight));
    }
    m_rowsIn.assign(Rows(), 0);
    m_sums.resize(Rows());
    m_rowSums.assign(Columns() * 4, 0);
}

void RowScaler::Row(int y, const std::uint32_t* pixels) {
    Add(y, 0, 1, m_sourceWidth, pixels, true);
}

void RowScaler::SpacedPixels(int y, int first, int step, int count, const std::uint32_t* pixels) {
    if (first < 0 || step < 1 || count < 0) return;
    Add(y, first, step, count, pixels, false);
}

void RowScaler::Add(int y, int first, int step, int count, const std::uint32_t* pixels,
                    bool wholeRow) {
    if (m_result.IsEmpty() || m_top.empty() || y < 0 || y >= m_sourceHeight) return;
    // The target rows whose boxes hold source row y: a run, as boxes only move down.
    const auto firstRow = static_cast<std::size_t>(
        std::upper_bound(m_bottom.begin(), m_bottom.end(), y) - m_bottom.begin());
    const auto endRow =
        static_cast<std::size_t>(std::upper_bound(m_top.begin(), m_top.end(), y) - m_top.begin());
    if (firstRow >= endRow) return;
    // The index of the first pixel handed over at or right of source column `column`.
    const auto indexAt = [first, step, count](int column) {
        return column <= first ? 0 : std::min(count, (column - first + step - 1) / step);
    };

    for (std::size_t tx = 0; tx < Columns(); ++tx) {
        // Red with blue, and green with alpha, each pair in one 64-bit word: a box row of
        // up to 2^16 pixels cannot carry one 32-bit half into the other.
        std::uint64_t redBlue = 0, greenAlpha = 0;
        for (int i = indexAt(m_left[tx]), end = indexAt(m_right[tx]); i < end; ++i) {
            const std::uint32_t p = pixels[i];
            redBlue += (p & 0xFFu) | (static_cast<std::uint64_t>(p & 0xFF0000u) << 16);
            greenAlpha += ((p >> 8) & 0xFFu) | (static_cast<std::uint64_t>(p >> 24) << 32);
        }
        std::uint64_t* sums = &m_rowSums[tx * 4];
        sums[0] = redBlue & 0xFFFFFFFFu;
        sums[1] = greenAlpha & 0xFFFFFFFFu;
        sums[2] = redBlue >> 32;
        sums[3] = greenAlpha >> 32;
    }
    for (std::size_t ty = firstRow; ty < endRow; ++ty) {
        auto& sums = m_sums[ty];
        if (!sums) sums = std::make_unique<std::uint64_t[]>(m_rowSums.size());
        for (std::size_t i = 0; i < m_rowSums.size(); ++i) sums[i] += m_rowSums[i];
        if (wholeRow && ++m_rowsIn[ty] == m_bottom[ty] - m_top[ty]) Close(ty);
    }
}

void RowScaler::Close(std::size_t targetRow) {
    const auto& sums = m_sums[targetRow];
    std::uint32_t* out = m_result.Row(static_cast<int>(targetRow));  // below m_height
    const std::uint64_t rows = static_cast<std::uint64_t>(m_bottom[targetRow] - m_top[targetRow]);
    for (std::size_t tx = 0; tx < Columns(); ++tx) {
        const std::uint64_t n = rows * static_cast<std::uint64_t>(m_right[tx] - m_left[tx]);
        std::uint32_t p = 0;
        for (std::size_t c = 0; c < 4; ++c) {
            const std::uint64_t sum = sums ? sums[tx * 4 + c] : 0;
            p |= RoundedMean(sum, n) << (8 * c);
        }
        out[tx] = p;
    }
    m_sums[targetRow].reset();
}

Bitmap RowScaler::Finish(bool hasAlpha) {
    if (!m_top.empty()) {
        for (std::size_t ty = 0; ty < Rows(); ++ty) {
            if (m_rowsIn[ty] < m_bottom[ty] - m_top[ty]) Close(ty);
        }
        m_top.clear();
    }
    m_result.SetHasAlpha(hasAlpha);
    return std::move(m_result);
}

}  // namespace platform
