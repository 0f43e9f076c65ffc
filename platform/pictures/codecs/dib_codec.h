#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/file_input.h"

namespace platform::codecs {

// A device-independent bitmap is an info header, an optional palette and the pixels. A .BMP
// file wraps one in a file header; an icon entry holds one whose height is doubled and whose
// colour pixels are followed by the AND mask.

enum class DibCompression { Rgb, Rle8, Rle4, Rle24, Bitfields, Huffman, Jpeg, Png };

// The info header of any version (core, OS/2 2.x, 40-byte and its V2 to V5 extensions),
// already checked for values the format does not allow.
struct DibHeader {
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;  // always positive; the sign of the stored value is topDown
    bool topDown = false;
    std::uint16_t bitCount = 0;
    DibCompression compression = DibCompression::Rgb;
    std::uint32_t imageBytes = 0;   // biSizeImage: only compressed data relies on it
    std::uint32_t coloursUsed = 0;  // biClrUsed as stored; 0 means "as many as the depth allows"
    std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha for 16 and 32 bits
    bool hasAlphaMask = false;             // the alpha mask above was given by the file
    std::size_t paletteOffset = 0;         // from the start of the DIB
    std::size_t paletteEntryBytes = 4;     // 3 in core headers
};

// Parses and checks the info header at the start of `dib` (dimensions against our limit too).
Result<DibHeader> ReadDibHeader(std::span<const std::uint8_t> dib);

struct DibOptions {
    // Where the pixels start, from the start of the DIB (a file's bfOffBits); without it they
    // follow the palette directly, as in icons.
    std::optional<std::size_t> pixelOffset;
    // Icons keep alpha in the fourth byte of 32-bit BI_RGB pixels.
    bool fourthByteIsAlpha = false;
};

struct DibPixels {
    Bitmap colour;
    std::size_t endOffset = 0;  // from the start of the DIB, just past the pixel rows
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

// Where the PNG or JPEG file that a DIB of compression 4 or 5 wraps lies, from the DIB's start:
// after its pixel start, biSizeImage bytes when given, else the rest of the DIB.
struct DibEmbedded {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};
Result<DibEmbedded> FindDibEmbedded(const DibHeader& header, std::uint64_t pixelStart,
                                    std::uint64_t dibSize);
// Reads the wrapped file's headers and checks that its picture has the DIB header's size,
// before any pixel is decoded.
Status CheckDibEmbedded(const DibHeader& header, const FileInput& wrapped);

// Decodes the pixels described by `header` (taken from ReadDibHeader(dib), possibly with the
// height changed by the caller) into a colour bitmap, top row first.
Result<DibPixels> DecodeDibPixels(const DibHeader& header, std::span<const std::uint8_t> dib,
                                  const DibOptions& options);

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
