#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/dib_header.h"

namespace platform::codecs {

// Where a DIB's palette ends and its pixels start, and how its uncompressed rows are stored.

struct DibOptions {
    // Where the pixels start, from the start of the DIB (a file's bfOffBits); without it they
    // follow the palette directly, as in icons.
    std::optional<std::size_t> pixelOffset;
    // Icons keep alpha in the fourth byte of 32-bit BI_RGB pixels.
    bool fourthByteIsAlpha = false;
};

// Where a DIB's pixels start and the colours of its palette, as DecodeDibPixels finds them.
struct DibLayout {
    std::vector<std::uint32_t> palette;  // as many as the depth uses; empty above 8 bits
    std::size_t pixelStart = 0;          // from the start of the DIB
};

// The layout of a DIB of `dibSize` bytes of which `dib` holds the start: at least its headers
// and palette, which is all that is read.
Result<DibLayout> ReadDibLayout(const DibHeader& header, std::span<const std::uint8_t> dib,
                                std::uint64_t dibSize, const DibOptions& options);

// Whether the pixels keep an alpha channel: the file names one, or an icon's 32-bit pixels carry
// it in their fourth byte. Whether the picture uses it only every pixel can tell: a picture whose
// alpha is 0 everywhere was written by a program that did not use it.
bool DibKeepsAlpha(const DibHeader& header, const DibOptions& options);

// Decodes `header.height` uncompressed rows, stored `stride` bytes apart in `rows` as the file
// stores them (the last one may lack its padding), into `colour`, top row first, with the
// palette of ReadDibLayout; alpha is kept in the pixels when `withAlpha`, and the bitmap's flag
// left alone. Fails for a pixel past the end of the palette.
Status DecodeDibRows(const DibHeader& header, std::span<const std::uint8_t> rows,
                     std::size_t stride, const std::vector<std::uint32_t>& palette, bool withAlpha,
                     Bitmap& colour);

// True when some pixel's alpha is not 0.
bool UsesAlpha(const Bitmap& colour);

// Bytes in one stored row of `width` pixels of `bitCount` bits: rows are padded to 4 bytes.
std::optional<std::size_t> DibRowBytes(std::int64_t width, int bitCount);

// The bytes of `height` uncompressed rows. The last row may lack its padding: some writers stop
// at its last pixel, so a DIB needs to hold only `needed` bytes of them.
struct DibRowsSize {
    std::size_t stride = 0;  // one stored row, padded
    std::size_t all = 0;     // every row, padded
    std::size_t needed = 0;  // every row but the last one's padding
};
Result<DibRowsSize> MeasureDibRows(std::int64_t width, int bitCount, std::int64_t height);

// How many palette entries a DIB stores, which may be more than its depth uses: up to where its
// pixels start when a file says so (`pixelOffset`), else within its `dibSize` bytes.
Result<std::size_t> DibStoredPaletteEntries(const DibHeader& header, std::uint64_t dibSize,
                                            const std::optional<std::size_t>& pixelOffset);

}  // namespace platform::codecs
