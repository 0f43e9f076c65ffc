#include "platform/pictures/sources/reduced_scaler.h"

#include <algorithm>
#include <cmath>

#include "platform/graphics/scale_box.h"

namespace platform {

namespace {

double Overlap(double a0, double a1, double b0, double b1) {
    return std::max(0.0, std::min(a1, b1) - std::max(a0, b0));
}

}  // namespace

std::vector<double> BoxEdges(int full, int count) {
    std::vector<double> edges;
    for (int i = 0; i < count; ++i) edges.push_back(ScaleBoxStart(i, count, full));
    edges.push_back(full);
    return edges;
}

std::vector<double> EighthEdges(int full, int count, int eighths) {
    std::vector<double> edges;
    for (int i = 0; i <= count; ++i) edges.push_back(std::min<double>(i * 8.0 / eighths, full));
    return edges;
}

ReducedScaler::ReducedScaler(int width, int height, std::vector<double> columnEdges,
                             std::vector<double> rowEdges)
    : m_width(std::max(width, 0)),
      m_height(std::max(height, 0)),
      m_columnEdges(std::move(columnEdges)),
      m_rowEdges(std::move(rowEdges)) {}

void ReducedScaler::Start(int width, int height) {
    m_result = Bitmap(m_width, m_height, PixelFormat::Colour);
    const int fullWidth = m_columnEdges.empty() ? 0 : static_cast<int>(m_columnEdges.back());
    const int fullHeight = m_rowEdges.empty() ? 0 : static_cast<int>(m_rowEdges.back());
    if (width + 1 != static_cast<int>(m_columnEdges.size()) ||
        height + 1 != static_cast<int>(m_rowEdges.size()) || fullWidth <= 0 || fullHeight <= 0) {
        m_width = m_height = 0;  // not the copy described: nothing to average
        return;
    }
    for (int tx = 0; tx < m_width; ++tx) {
        m_left.push_back(ScaleBoxStart(tx, m_width, fullWidth));
        m_right.push_back(ScaleBoxEnd(tx, m_width, fullWidth));
        std::vector<Share> shares;
        // As many reduced columns as `width`, checked above.
        for (std::size_t i = 0; i + 1 < m_columnEdges.size(); ++i) {
            const double w =
                Overlap(m_columnEdges[i], m_columnEdges[i + 1], m_left.back(), m_right.back());
            if (w > 0) shares.push_back({i, w});
        }
        m_shares.push_back(std::move(shares));
    }
    for (int ty = 0; ty < m_height; ++ty) {
        m_top.push_back(ScaleBoxStart(ty, m_height, fullHeight));
        m_bottom.push_back(ScaleBoxEnd(ty, m_height, fullHeight));
    }
    m_sums.resize(Rows());
    m_closed.assign(Rows(), false);
    m_rowSums.assign(Columns() * 4, 0.0);
}

void ReducedScaler::Row(int y, const std::uint32_t* pixels) {
    if (m_top.empty() || y < 0 || y + 1 >= static_cast<int>(m_rowEdges.size())) return;
    const auto row = static_cast<std::size_t>(y);
    const double top = m_rowEdges[row], bottom = m_rowEdges[row + 1];
    for (std::size_t tx = 0; tx < Columns(); ++tx) {
        double sums[4] = {0, 0, 0, 0};
        for (const Share& share : m_shares[tx]) {
            const std::uint32_t p = pixels[share.column];
            for (int c = 0; c < 4; ++c) sums[c] += share.weight * ((p >> (8 * c)) & 0xFF);
        }
        std::copy_n(sums, 4, &m_rowSums[tx * 4]);
    }
    // The target rows whose boxes this reduced row reaches into.
    const auto first = static_cast<std::size_t>(
        std::upper_bound(m_bottom.begin(), m_bottom.end(), top) - m_bottom.begin());
    for (std::size_t ty = first; ty < Rows() && m_top[ty] < bottom; ++ty) {
        const double weight = Overlap(top, bottom, m_top[ty], m_bottom[ty]);
        if (weight <= 0 || m_closed[ty]) continue;
        auto& sums = m_sums[ty];
        if (!sums) sums = std::make_unique<double[]>(m_rowSums.size());
        for (std::size_t i = 0; i < m_rowSums.size(); ++i) sums[i] += weight * m_rowSums[i];
    }
    // Rows come top first: a box that ends above this row's end gets nothing more.
    for (std::size_t ty = first; ty < Rows() && m_bottom[ty] <= bottom; ++ty) {
        if (!m_closed[ty]) Close(ty);
    }
}

void ReducedScaler::Close(std::size_t targetRow) {
    const auto& sums = m_sums[targetRow];
    std::uint32_t* out = m_result.Row(static_cast<int>(targetRow));  // below m_height
    const double rows = m_bottom[targetRow] - m_top[targetRow];
    for (std::size_t tx = 0; tx < Columns(); ++tx) {
        const double area = rows * (m_right[tx] - m_left[tx]);
        std::uint32_t p = 0;
        for (std::size_t c = 0; c < 4; ++c) {
            const double sum = sums ? sums[tx * 4 + c] : 0.0;
            const long value = std::lround(sum / area);
            p |= static_cast<std::uint32_t>(std::clamp(value, 0L, 255L)) << (8 * c);
        }
        out[tx] = p;
    }
    m_sums[targetRow].reset();
    m_closed[targetRow] = true;
}

Bitmap ReducedScaler::Finish(bool hasAlpha) {
    for (std::size_t ty = 0; ty < m_closed.size(); ++ty) {
        if (!m_closed[ty]) Close(ty);
    }
    m_result.SetHasAlpha(hasAlpha);
    return std::move(m_result);
}

}  // namespace platform
