#pragma once

#include <cstdint>
#include <span>

#include "platform/graphics/bitmap.h"
#include "platform/pictures/codecs/codec_result.h"

namespace platform::codecs {

// Any PNG, with alpha where the file has transparency.
Result<Bitmap> DecodePng(std::span<const std::uint8_t> file);

}  // namespace platform::codecs
