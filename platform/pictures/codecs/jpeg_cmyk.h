#pragma once

#include <cstdint>

namespace platform::codecs {

// A pixel of C, M, Y, K bytes as libjpeg hands them over, as 0xAABBGGRR colour. Adobe's files
// store the inks inverted (255 = no ink) and say so by their APP14 marker; libjpeg hands the
// bytes over as stored. Without the marker the bytes are plain ink amounts.
inline std::uint32_t CmykPixel(const std::uint8_t (&stored)[4], bool inverted) {
    std::uint32_t light[4];  // 255 - ink: how much of each primary is left
    for (int i = 0; i < 4; ++i) light[i] = inverted ? stored[i] : 255u - stored[i];
    const std::uint32_t k = light[3];
    const std::uint32_t r = (light[0] * k + 127) / 255;
    const std::uint32_t g = (light[1] * k + 127) / 255;
    const std::uint32_t b = (light[2] * k + 127) / 255;
    return 0xFF000000u | (b << 16) | (g << 8) | r;
}

}  // namespace platform::codecs
