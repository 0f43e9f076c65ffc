#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/pictures/codecs/row_sink.h"

namespace zentrova {

// One row of light: red, green, blue and alpha per pixel, the colours in linear light and
// premultiplied by alpha, so that a transparent pixel adds nothing and darkens nothing.
using LightRow = std::vector<float>;

// A picture scaled to width x height as its rows come, with a Lanczos filter of three lobes
// over linear, premultiplied light: separable, each source row filtered across once on
// arrival and added into the target rows it reaches. Holds the target's sums only, whatever
// the picture's size. Rows may come in any order; one that never comes is transparent.
class LightScaler {
  public:
    LightScaler(int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The source's rows are sourceWidth pixels, of which extentWidth make the picture's width
    // (less when the last is part of a pixel); the same down.
    void Start(int sourceWidth, int sourceHeight, double extentWidth, double extentHeight);
    void Row(int y, const LightRow& row);
    // The scaled picture in sRGB with alpha.
    platform::Bitmap Finish() const;

  private:
    // Where one target pixel's taps start in the source, and their weights (summing to 1).
    struct Taps {
        int first = 0;
        std::vector<float> weights;
    };
    static std::vector<Taps> TapsFor(int source, double extent, int target);

    int m_width;
    int m_height;
    std::vector<Taps> m_columns;
    std::vector<Taps> m_rows;
    std::vector<float> m_sums;    // 4 per target pixel
    std::vector<float> m_across;  // one source row filtered across: 4 per target column
};

// Hands each row to several scalers, turned into light once for all of them. A picture more
// than twice the largest scaler's size each way is first averaged over blocks of whole pixels,
// in light, down to no less than twice that size: what the filter then reads is each block's
// exact average, and a large picture costs each scaler no more than a small one. An
// interlaced picture's pixels may come spaced out, pass by pass: its blocks are added up as
// they come, unless the picture whole is smaller than its blocks' sums.
class LightRows final : public platform::codecs::RowSink {
  public:
    explicit LightRows(std::vector<LightScaler*> scalers) : m_scalers(std::move(scalers)) {}
    void Start(int width, int height) override;
    void Row(int y, const std::uint32_t* pixels) override;
    bool TakesSpacedPixels() const override { return m_spaced; }
    void SpacedPixels(int y, int first, int step, int count, const std::uint32_t* pixels) override;

  private:
    // The pixels of one row of blocks, added up until its last comes.
    struct Block {
        std::vector<double> sums;  // a block may hold thousands of pixels
        std::uint64_t pixels = 0;
    };
    void Hand(int y, const LightRow& row);

    std::vector<LightScaler*> m_scalers;
    int m_width = 0;
    int m_height = 0;
    int m_blockWidth = 1;  // source pixels a block
    int m_blockHeight = 1;
    int m_columns = 0;  // blocks across
    bool m_spaced = false;
    LightRow m_row;
    LightRow m_average;
    std::map<int, Block> m_blocks;  // by block row; one open at a time when rows come in order
};

}  // namespace zentrova
