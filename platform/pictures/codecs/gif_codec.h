#pragma once

#include <cstdint>
#include <span>

#include "platform/graphics/bitmap.h"
#include "platform/pictures/codecs/codec_result.h"

namespace platform::codecs {

// The first frame of a GIF on its logical screen; the transparent index becomes alpha 0.
Result<Bitmap> DecodeGif(std::span<const std::uint8_t> file);

}  // namespace platform::codecs
