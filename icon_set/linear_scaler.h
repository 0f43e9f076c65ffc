#pragma once

#include <cstddef>
#include <cstdint>
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

    void Start(int sourceWidth, int sourceHeight);
    void Row(int y, const LightRow& row);
    // The scaled picture in sRGB with alpha.
    platform::Bitmap Finish() const;

  private:
    // Where one target pixel's taps start in the source, and their weights (summing to 1).
    struct Taps {
        int first = 0;
        std::vector<float> weights;
    };
    static std::vector<Taps> TapsFor(int source, int target);

    int m_width;
    int m_height;
    std::vector<Taps> m_columns;
    std::vector<Taps> m_rows;
    std::vector<float> m_sums;    // 4 per target pixel
    std::vector<float> m_across;  // one source row filtered across: 4 per target column
};

// Hands each row to several scalers, turned into light once for all of them.
class LightRows final : public platform::codecs::RowSink {
  public:
    explicit LightRows(std::vector<LightScaler*> scalers) : m_scalers(std::move(scalers)) {}
    void Start(int width, int height) override;
    void Row(int y, const std::uint32_t* pixels) override;

  private:
    std::vector<LightScaler*> m_scalers;
    int m_width = 0;
    int m_height = 0;
    LightRow m_row;
};

}  // namespace zentrova
