#pragma once

#include <cstdint>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/pictures/codecs/codec_result.h"

namespace platform::codecs {

// An 8-bit RGBA PNG of a colour bitmap, with its alpha (opaque where it has none).
Result<std::vector<std::uint8_t>> EncodePng(const Bitmap& pixels);

}  // namespace platform::codecs
