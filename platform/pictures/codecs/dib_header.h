#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/pictures/codecs/codec_result.h"

namespace platform::codecs {

// A device-independent bitmap is an info header, an optional palette and the pixels. A .BMP
// file wraps one in a file header; an icon entry holds one whose height is doubled and whose
// colour pixels are followed by the AND mask.

enum class DibCompression { Rgb, Rle8, Rle4, Rle24, Bitfields, Huffman, Jpeg, Png };

// The info header of any version (core, OS/2 2.x, 40-byte and its V2 to V5 extensions),
// already checked for values the format does not allow.
struct DibHeader {
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;  // always positive; the sign of the stored value is topDown
    bool topDown = false;
    std::uint16_t bitCount = 0;
    DibCompression compression = DibCompression::Rgb;
    std::uint32_t imageBytes = 0;   // biSizeImage: only compressed data relies on it
    std::uint32_t coloursUsed = 0;  // biClrUsed as stored; 0 means "as many as the depth allows"
    std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha for 16 and 32 bits
    bool hasAlphaMask = false;             // the alpha mask above was given by the file
    std::size_t paletteOffset = 0;         // from the start of the DIB
    std::size_t paletteEntryBytes = 4;     // 3 in core headers
};

// Parses and checks the info header at the start of `dib` (dimensions against our limit too).
Result<DibHeader> ReadDibHeader(std::span<const std::uint8_t> dib);

}  // namespace platform::codecs
