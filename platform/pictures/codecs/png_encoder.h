#pragma once

#include <cstdint>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/pictures/codecs/codec_result.h"

namespace platform::codecs {

// A PNG file of the bitmap: 8-bit RGBA when it has alpha, else 8-bit RGB.
Result<std::vector<std::uint8_t>> EncodePng(const Bitmap& bitmap);

}  // namespace platform::codecs
