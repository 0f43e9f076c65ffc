#pragma once

#include <cstdint>
#include <vector>

#include "platform/graphics/bitmap.h"

namespace test_support {

// A PNG file of the bitmap's colours, made with libpng's writer at test time: 8-bit RGB, or
// RGBA from the alpha bytes when the bitmap has alpha; Adam7-interlaced when asked.
std::vector<std::uint8_t> CompressPng(const platform::Bitmap& pixels, bool interlaced);

}  // namespace test_support
