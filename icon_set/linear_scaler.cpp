#include "icon_set/linear_scaler.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "icon_set/srgb.h"

namespace zentrova {

namespace {

constexpr double kLobes = 3.0;

double Sinc(double x) {
    if (x == 0) return 1.0;
    const double t = std::numbers::pi * x;
    return std::sin(t) / t;
}

double Lanczos(double x) {
    return std::abs(x) < kLobes ? Sinc(x) * Sinc(x / kLobes) : 0.0;
}

std::size_t Index(int i) {
    return static_cast<std::size_t>(i);
}

}  // namespace

std::vector<LightScaler::Taps> LightScaler::TapsFor(int source, double extent, int target) {
    std::vector<Taps> all(Index(target));
    if (source <= 0 || extent <= 0) return all;
    const double scale = extent / target;
    // Shrinking, the filter is widened to the source pixels one target pixel covers, so that
    // every source pixel counts; enlarging, it stays as it is.
    const double stretch = std::max(scale, 1.0);
    const double reach = kLobes * stretch;
    for (int t = 0; t < target; ++t) {
        const double centre = (t + 0.5) * scale;
        const int first = std::max(0, static_cast<int>(std::floor(centre - reach)));
        const int last = std::min(source - 1, static_cast<int>(std::ceil(centre + reach)));
        std::vector<double> weights;
        double total = 0;
        for (int s = first; s <= last; ++s) {
            // The last pixel may be part of one (a block cut by the edge): it counts at its
            // own centre and for its own width.
            const double width = std::clamp(extent - s, 0.0, 1.0);
            const double middle = width < 1.0 ? s + width / 2 : s + 0.5;
            const double w = Lanczos((middle - centre) / stretch) * width;
            weights.push_back(w);
            total += w;
        }
        // Near an edge the taps that fall outside are left out and the rest share their
        // weight: a picture of one colour stays that colour up to its edges.
        Taps& taps = all[Index(t)];
        taps.first = first;
        for (const double w : weights) taps.weights.push_back(static_cast<float>(w / total));
    }
    return all;
}

LightScaler::LightScaler(int width, int height)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)) {}

void LightScaler::Start(int sourceWidth, int sourceHeight, double extentWidth,
                        double extentHeight) {
    m_columns = TapsFor(sourceWidth, extentWidth, m_width);
    m_rows = TapsFor(sourceHeight, extentHeight, m_height);
    m_sums.assign(Index(m_width) * Index(m_height) * 4, 0.0f);
    m_across.assign(Index(m_width) * 4, 0.0f);
}

void LightScaler::Row(int y, const LightRow& row) {
    if (m_rows.empty()) return;
    bool filtered = false;
    for (std::size_t ty = 0; ty < m_rows.size(); ++ty) {
        const Taps& down = m_rows[ty];
        const int k = y - down.first;
        if (k < 0 || Index(k) >= down.weights.size()) continue;
        if (!filtered) {
            // Across once, for every target row this source row reaches.
            for (std::size_t tx = 0; tx < m_columns.size(); ++tx) {
                const Taps& across = m_columns[tx];
                float sum[4] = {0, 0, 0, 0};
                const float* from = &row[Index(across.first) * 4];
                for (const float w : across.weights) {
                    for (int c = 0; c < 4; ++c) sum[c] += w * from[c];
                    from += 4;
                }
                std::copy_n(sum, 4, &m_across[tx * 4]);
            }
            filtered = true;
        }
        const float w = down.weights[Index(k)];
        float* sums = &m_sums[ty * Index(m_width) * 4];
        for (std::size_t i = 0; i < m_across.size(); ++i) sums[i] += w * m_across[i];
    }
}

platform::Bitmap LightScaler::Finish() const {
    platform::Bitmap result(m_width, m_height, platform::PixelFormat::Colour);
    result.SetHasAlpha(true);
    if (m_rows.empty() || m_columns.empty()) return result;
    for (int y = 0; y < m_height; ++y) {
        std::uint32_t* out = result.Row(y);
        for (int x = 0; x < m_width; ++x) {
            const float* p = &m_sums[(Index(y) * Index(m_width) + Index(x)) * 4];
            // The filter's negative lobes can ring past the ends: alpha is clamped, and colour
            // is never brighter than full light at the alpha left.
            const float alpha = std::clamp(p[3], 0.0f, 1.0f);
            const auto a = static_cast<std::uint32_t>(std::lround(alpha * 255.0f));
            if (a == 0) {
                out[x] = 0;  // transparent black, as icon masks expect
                continue;
            }
            std::uint32_t pixel = a << 24;
            for (int c = 0; c < 3; ++c) {
                pixel |= static_cast<std::uint32_t>(LevelOfLinear(p[c] / alpha)) << (8 * c);
            }
            out[x] = pixel;
        }
    }
    return result;
}

void LightRows::Start(int width, int height) {
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    int most = 1, mostDown = 1;
    for (const LightScaler* scaler : m_scalers) {
        most = std::max(most, scaler->Width());
        mostDown = std::max(mostDown, scaler->Height());
    }
    m_blockWidth = std::max(1, m_width / (2 * most));
    m_blockHeight = std::max(1, m_height / (2 * mostDown));
    m_columns = (m_width + m_blockWidth - 1) / m_blockWidth;
    const int rows = (m_height + m_blockHeight - 1) / m_blockHeight;
    // Spaced pixels may open every row of blocks at once (under 1024 x 1024 blocks of 32
    // bytes); gathered, the decoder holds the picture, 4 bytes a pixel.
    const std::uint64_t blockBytes = std::uint64_t{32} * Index(rows) * Index(m_columns);
    m_spaced = blockBytes < std::uint64_t{4} * Index(m_width) * Index(m_height);
    m_row.assign(Index(m_width) * 4, 0.0f);
    m_average.assign(Index(m_columns) * 4, 0.0f);
    m_blocks.clear();
    for (LightScaler* scaler : m_scalers) {
        scaler->Start(m_columns, rows, static_cast<double>(m_width) / m_blockWidth,
                      static_cast<double>(m_height) / m_blockHeight);
    }
}

void LightRows::Row(int y, const std::uint32_t* pixels) {
    if (y < 0 || y >= m_height) return;
    if (m_blockWidth > 1 || m_blockHeight > 1) {
        SpacedPixels(y, 0, 1, m_width, pixels);
        return;
    }
    const std::array<float, 256>& light = LinearOfLevel();
    for (std::size_t x = 0; x < Index(m_width); ++x) {
        const std::uint32_t p = pixels[x];
        const float alpha = static_cast<float>(p >> 24) / 255.0f;
        float* out = &m_row[x * 4];
        out[0] = light[p & 0xFF] * alpha;
        out[1] = light[(p >> 8) & 0xFF] * alpha;
        out[2] = light[(p >> 16) & 0xFF] * alpha;
        out[3] = alpha;
    }
    Hand(y, m_row);
}

void LightRows::SpacedPixels(int y, int first, int step, int count, const std::uint32_t* pixels) {
    if (y < 0 || y >= m_height || first < 0 || step < 1) return;
    const std::array<float, 256>& light = LinearOfLevel();
    const int blockRow = y / m_blockHeight;
    Block& block = m_blocks[blockRow];
    if (block.sums.empty()) block.sums.assign(m_average.size(), 0.0);
    for (int i = 0, x = first; i < count && x < m_width; ++i, x += step) {
        const std::uint32_t p = pixels[i];
        const float alpha = static_cast<float>(p >> 24) / 255.0f;
        double* sum = &block.sums[Index(x / m_blockWidth) * 4];
        sum[0] += light[p & 0xFF] * alpha;
        sum[1] += light[(p >> 8) & 0xFF] * alpha;
        sum[2] += light[(p >> 16) & 0xFF] * alpha;
        sum[3] += alpha;
        ++block.pixels;
        if (step > m_width - x) break;  // the next would be past the row, or overflow
    }
    const int rows = std::min(m_blockHeight, m_height - blockRow * m_blockHeight);
    if (block.pixels < std::uint64_t{Index(rows)} * Index(m_width)) return;
    for (int bx = 0; bx < m_columns; ++bx) {
        const int columns = std::min(m_blockWidth, m_width - bx * m_blockWidth);
        const double area = static_cast<double>(columns) * rows;
        for (std::size_t c = 0; c < 4; ++c) {
            m_average[Index(bx) * 4 + c] = static_cast<float>(block.sums[Index(bx) * 4 + c] / area);
        }
    }
    m_blocks.erase(blockRow);
    Hand(blockRow, m_average);
}

void LightRows::Hand(int y, const LightRow& row) {
    for (LightScaler* scaler : m_scalers) scaler->Row(y, row);
}

}  // namespace zentrova
