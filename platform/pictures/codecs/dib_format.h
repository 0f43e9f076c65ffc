#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::codecs {

// The numbers of the bitmap formats that the readers and writers share.

// BITMAPFILEHEADER: "BM", bfSize, two reserved words, then bfOffBits, where the pixels start
// from the start of the file. The DIB follows it.
inline constexpr std::size_t kBmpFileHeaderBytes = 14;
inline constexpr std::size_t kBmpPixelOffsetAt = 10;

// An info header starts with its own size, which is how its version is told.
inline constexpr std::uint32_t kCoreHeaderBytes = 12;      // OS/2 1.x: 16-bit sizes, 3-byte palette
inline constexpr std::uint32_t kOs2ShortHeaderBytes = 16;  // OS/2 2.x, cut after the bit count
inline constexpr std::uint32_t kInfoHeaderBytes = 40;
inline constexpr std::uint32_t kV2HeaderBytes = 52;  // adds the red, green and blue masks
inline constexpr std::uint32_t kV3HeaderBytes = 56;  // adds the alpha mask
inline constexpr std::uint32_t kOs2HeaderBytes = 64;
inline constexpr std::uint32_t kV4HeaderBytes = 108;
inline constexpr std::uint32_t kV5HeaderBytes = 124;  // the largest there is

// The colour masks sit at the same place in every header that holds them, and right after a
// 40-byte one that does not.
inline constexpr std::size_t kMasksAt = kInfoHeaderBytes;
inline constexpr std::size_t kAlphaMaskAt = kMasksAt + 12;

// biCompression. OS/2 2.x headers give 3 and 4 other meanings: Huffman 1D and RLE24.
inline constexpr std::uint32_t kBiRgb = 0;
inline constexpr std::uint32_t kBiRle8 = 1;
inline constexpr std::uint32_t kBiRle4 = 2;
inline constexpr std::uint32_t kBiBitfields = 3;
inline constexpr std::uint32_t kBiJpeg = 4;
inline constexpr std::uint32_t kBiPng = 5;
inline constexpr std::uint32_t kBiAlphaBitfields = 6;

}  // namespace platform::codecs
