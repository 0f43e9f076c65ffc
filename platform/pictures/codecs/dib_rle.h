#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/graphics/bitmap.h"
#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/dib_codec.h"

namespace platform::codecs {

// Expands RLE8, RLE4 or RLE24 data into `colour`, whose size is the picture's; the data is
// stored bottom row first. Pixels the data skips (by a delta, an early end of line or an early
// end of the bitmap) are left transparent and the bitmap then has alpha. Returns the number
// of data bytes read.
Result<std::size_t> ExpandDibRle(DibCompression compression, std::span<const std::uint8_t> data,
                                 std::span<const std::uint32_t> palette, Bitmap& colour);

}  // namespace platform::codecs
