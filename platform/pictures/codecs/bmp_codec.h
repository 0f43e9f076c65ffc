#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/dib_codec.h"
#include "platform/pictures/codecs/dib_format.h"

namespace platform::codecs {

// A .BMP file's headers, as DecodeBmp checks them.
struct BmpHeaders {
    DibHeader header;
    DibOptions options;  // where the pixels start, from the start of the DIB
};

// The file header's bfOffBits, where the pixels start from the start of the file; nothing when
// `start` is shorter than the file header. The signature is left to the caller.
std::optional<std::uint32_t> ReadBmpPixelOffset(std::span<const std::uint8_t> start);

// Reads the headers from the start of a file: the whole file, or as much of it as holds the
// file header and the info header with its masks.
Result<BmpHeaders> ReadBmpHeaders(std::span<const std::uint8_t> start);

// A whole .BMP file: every common variant (1/4/8/16/24/32 bits, RLE4/RLE8, bitfields,
// top-down, OS/2 headers). The result is a colour bitmap; alpha only for 32-bit files that
// carry a real alpha channel.
Result<Bitmap> DecodeBmp(std::span<const std::uint8_t> file);

// A 24-bit uncompressed bottom-up .BMP file of the bitmap's colours. Fails for an empty
// bitmap and for one too large for the format's 32-bit sizes.
Result<std::vector<std::uint8_t>> EncodeBmp24(const Bitmap& bitmap);

}  // namespace platform::codecs
