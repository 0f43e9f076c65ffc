#pragma once

#include <cstdint>

namespace platform::codecs {

// Where a decoder that works row by row hands its rows, so that a caller can keep only the
// part it shows or scale the picture as it goes, without ever holding it whole.
class RowSink {
  public:
    virtual ~RowSink() = default;
    // Before any row: each row will hold `width` pixels, of a picture `height` rows high.
    virtual void Start(int width, int height) = 0;
    // Row `y` (0 at the top) as 0xAABBGGRR pixels. Rows may come in any order, each at most
    // once; a row that never comes is transparent black.
    virtual void Row(int y, const std::uint32_t* pixels) = 0;

    // Whether the sink takes a row in spaced parts, as an interlaced picture's passes bring
    // them; a decoder gathers whole rows for one that does not.
    virtual bool TakesSpacedPixels() const { return false; }
    // `count` pixels of row `y`, at columns `first`, `first + step`, ... Each pixel comes at
    // most once, over all the parts and rows.
    virtual void SpacedPixels(int /*y*/, int /*first*/, int /*step*/, int /*count*/,
                              const std::uint32_t* /*pixels*/) {}
};

}  // namespace platform::codecs
