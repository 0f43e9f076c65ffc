#pragma once

#include <cstdint>
#include <vector>

#include "platform/graphics/icon_image.h"
#include "platform/pictures/codecs/codec_result.h"

namespace platform::codecs {

// A single-entry 32-bit .ICO file: colour with alpha (opaque where the mask is 0, unless the
// icon has alpha of its own) and the AND mask, so that every reader agrees on transparency.
// Fails for an icon outside 1 to 256 pixels a side.
Result<std::vector<std::uint8_t>> EncodeIco(const IconImage& icon);

// One entry's 32-bit DIB as an icon file holds it: the 40-byte header with the doubled height,
// the colour rows with alpha and the AND mask, bottom row first. The icon is 1 to 256 a side.
std::size_t IconDib32Bytes(const IconImage& icon);
void PutIconDib32(std::vector<std::uint8_t>& out, const IconImage& icon);

// A single-entry 4-bit .ICO file in the standard 16-colour VGA palette with its AND mask.
// Fails when a visible pixel is not one of the 16 colours.
Result<std::vector<std::uint8_t>> EncodeIco4Bit(const IconImage& icon);

}  // namespace platform::codecs
