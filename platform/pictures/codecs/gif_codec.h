#pragma once

#include <cstdint>
#include <span>

#include "platform/graphics/bitmap.h"
#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/file_input.h"
#include "platform/pictures/codecs/row_sink.h"

namespace platform::codecs {

// The first frame of a GIF on its logical screen; the transparent index becomes alpha 0.
Result<Bitmap> DecodeGif(std::span<const std::uint8_t> file);
Result<Bitmap> DecodeGif(const FileInput& file);

// The parts below decode no more than is asked, and each refuses exactly the files that
// DecodeGif refuses.

struct GifLayout {
    int width = 0;  // of the logical screen
    int height = 0;
};

// Reads the records up to the first frame and decodes its first row, which settles whether
// DecodeGif would accept the file.
Result<GifLayout> ReadGifLayout(const FileInput& file);

// What DecodeGif's bitmap would say of its alpha, as far as the frame was read.
struct GifRowsRead {
    bool hasAlpha = false;
};

// Decodes the first frame onto its screen row by row, handing `sink` every screen row the
// frame covers (the frame's pixels, transparent beside it), and stops once every screen row
// above `rows` has come; `rows` of the screen's height or more reads the frame to its end.
Result<GifRowsRead> DecodeGifRows(const FileInput& file, int rows, RowSink& sink);

}  // namespace platform::codecs
