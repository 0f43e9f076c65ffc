#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/graphics/bitmap.h"
#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/dib_codec.h"
#include "platform/pictures/codecs/file_input.h"
#include "platform/pictures/codecs/row_sink.h"

namespace platform::codecs {

// What one pass over RLE data found.
struct RleSummary {
    std::size_t bytesRead = 0;
    // Every pixel was set, so the picture is opaque; otherwise the pixels the data skips (by a
    // delta, an early end of line or an early end of the bitmap) are transparent.
    bool complete = false;
};

// Which rows a pass hands over, and how.
struct RleRows {
    int first = 0;  // counted from the top, as the sink counts them
    int end = 0;
    // The picture is known to be complete: pixels come without alpha, as a whole decode gives
    // them. Otherwise set pixels are opaque and skipped ones 0.
    bool complete = false;
};

// Expands RLE8, RLE4 or RLE24 data of a width x height picture, stored bottom row first, in
// one pass: the whole data is checked, but only the rows asked for are drawn, each handed to
// `sink` when the data leaves it (a row it never sets pixels in is not handed over). The cost
// is that of the data plus the rows drawn, whatever size the header claims.
Result<RleSummary> ExpandDibRleRows(DibCompression compression, const FileInput& data,
                                    std::span<const std::uint32_t> palette, int width, int height,
                                    const RleRows& rows, RowSink& sink);

// The same into `colour`, whose size is the picture's; it has alpha unless every pixel was
// set. Returns the number of data bytes read.
Result<std::size_t> ExpandDibRle(DibCompression compression, std::span<const std::uint8_t> data,
                                 std::span<const std::uint32_t> palette, Bitmap& colour);

}  // namespace platform::codecs
