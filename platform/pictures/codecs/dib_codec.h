#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/graphics/bitmap.h"
#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/dib_header.h"
#include "platform/pictures/codecs/dib_rows.h"
#include "platform/pictures/codecs/file_input.h"

namespace platform::codecs {

// A DIB's pixels, whatever their compression: its header (dib_header.h), its palette and rows
// (dib_rows.h), and here the whole decode and the PNG or JPEG file a DIB may wrap.

struct DibPixels {
    Bitmap colour;
    std::size_t endOffset = 0;  // from the start of the DIB, just past the pixel rows
};

// Where the PNG or JPEG file that a DIB of compression 4 or 5 wraps lies, from the DIB's start:
// after its pixel start, biSizeImage bytes when given, else the rest of the DIB.
struct DibEmbedded {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};
Result<DibEmbedded> FindDibEmbedded(const DibHeader& header, std::uint64_t pixelStart,
                                    std::uint64_t dibSize);
// Reads the wrapped file's headers and checks that its picture has the DIB header's size,
// before any pixel is decoded.
Status CheckDibEmbedded(const DibHeader& header, const FileInput& wrapped);

// Decodes the pixels described by `header` (taken from ReadDibHeader(dib), possibly with the
// height changed by the caller) into a colour bitmap, top row first.
Result<DibPixels> DecodeDibPixels(const DibHeader& header, std::span<const std::uint8_t> dib,
                                  const DibOptions& options);

}  // namespace platform::codecs
