#pragma once

#include <cstdint>
#include <vector>

#include "platform/graphics/icon_image.h"
#include "platform/pictures/codecs/codec_result.h"

namespace platform::codecs {

// One entry of an icon or cursor file that holds several.
struct IconSetEntry {
    IconImage icon;      // 32-bit colour with alpha, the mask set exactly where alpha is 0
    bool asPng = false;  // stored as a PNG file rather than as a DIB
};

// An .ICO file (or a .CUR file, with each entry's hot spot, when `cursor`) of the entries in
// the order given, each 1 to 256 pixels a side; a side of 256 is 0 in the directory.
Result<std::vector<std::uint8_t>> EncodeIconSet(const std::vector<IconSetEntry>& entries,
                                                bool cursor);

}  // namespace platform::codecs
