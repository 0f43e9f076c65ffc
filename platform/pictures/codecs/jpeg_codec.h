#pragma once

#include <cstdint>
#include <span>

#include "platform/graphics/bitmap.h"
#include "platform/pictures/codecs/codec_result.h"

namespace platform::codecs {

// Baseline, progressive, greyscale and CMYK JPEG files, as opaque colour bitmaps.
Result<Bitmap> DecodeJpeg(std::span<const std::uint8_t> file);

}  // namespace platform::codecs
