#include "platform/pictures/codecs/dib_codec.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <vector>

#include "platform/pictures/codecs/byte_reader.h"
#include "platform/pictures/codecs/dib_format.h"
#include "platform/pictures/codecs/dib_rle.h"
#include "platform/pictures/codecs/jpeg_codec.h"
#include "platform/pictures/codecs/limits.h"
#include "platform/pictures/codecs/png_codec.h"

namespace platform::codecs {

namespace {

bool IsKnownHeaderSize(std::uint32_t size) {
    switch (size) {
        case kCoreHeaderBytes:
        case kOs2ShortHeaderBytes:
        case kInfoHeaderBytes:
        case kV2HeaderBytes:
        case kV3HeaderBytes:
        case kOs2HeaderBytes:
        case kV4HeaderBytes:
        case kV5HeaderBytes:
            return true;
        default:
            return false;
    }
}

std::optional<DibCompression> CompressionFromValue(std::uint32_t value, bool os2,
                                                   bool& alphaBitfields) {
    alphaBitfields = false;
    switch (value) {
        case kBiRgb:
            return DibCompression::Rgb;
        case kBiRle8:
            return DibCompression::Rle8;
        case kBiRle4:
            return DibCompression::Rle4;
        // OS/2 2.x gave 3 and 4 other meanings than Windows did.
        case kBiBitfields:
            return os2 ? DibCompression::Huffman : DibCompression::Bitfields;
        case kBiJpeg:
            return os2 ? DibCompression::Rle24 : DibCompression::Jpeg;
        case kBiPng:
            return DibCompression::Png;
        case kBiAlphaBitfields:
            alphaBitfields = true;
            return DibCompression::Bitfields;
        default:
            return std::nullopt;
    }
}

bool IsContiguous(std::uint32_t mask) {
    const std::uint32_t shifted = mask >> std::countr_zero(mask);
    return (shifted & (shifted + 1)) == 0;
}

std::uint64_t PixelBits(int bitCount) {
    return bitCount >= 32 ? 0xFFFFFFFFull : (1ull << bitCount) - 1;
}

// A colour mask must be one run of set bits inside the pixel, not shared with another colour.
Status CheckColourMasks(const DibHeader& header) {
    std::uint32_t seen = 0;
    for (std::size_t channel = 0; channel < 3; ++channel) {
        const std::uint32_t mask = header.masks[channel];
        if (mask == 0) return Fail(CodecError::BadHeader, "a colour mask is empty");
        if ((mask & ~PixelBits(header.bitCount)) != 0) {
            return Fail(CodecError::BadHeader, "mask wider than a pixel");
        }
        if (!IsContiguous(mask)) return Fail(CodecError::BadHeader, "mask bits are not contiguous");
        if ((seen & mask) != 0) return Fail(CodecError::BadHeader, "masks overlap");
        seen |= mask;
    }
    return Done();
}

// Writers fill the alpha mask of V4 and V5 headers with a default that may not fit the pixel;
// such a mask is dropped rather than the picture.
void DropUnusableAlphaMask(DibHeader& header) {
    const std::uint32_t alpha = header.masks[3];
    const std::uint32_t colours = header.masks[0] | header.masks[1] | header.masks[2];
    if (alpha == 0 || (alpha & ~PixelBits(header.bitCount)) != 0 || !IsContiguous(alpha) ||
        (alpha & colours) != 0) {
        header.masks[3] = 0;
    }
    header.hasAlphaMask = header.masks[3] != 0;
}

Status CheckCombination(const DibHeader& header) {
    switch (header.compression) {
        case DibCompression::Rgb:
            switch (header.bitCount) {
                case 1:
                case 2:
                case 4:
                case 8:
                case 16:
                case 24:
                case 32:
                    return Done();
                case 64:
                    return Fail(CodecError::Unsupported, "64-bit pixels");
                default:
                    return Fail(CodecError::BadHeader, "impossible bit count");
            }
        case DibCompression::Rle8:
            if (header.bitCount != 8) return Fail(CodecError::BadHeader, "RLE8 needs 8 bits");
            break;
        case DibCompression::Rle4:
            if (header.bitCount != 4) return Fail(CodecError::BadHeader, "RLE4 needs 4 bits");
            break;
        case DibCompression::Rle24:
            if (header.bitCount != 24) return Fail(CodecError::BadHeader, "RLE24 needs 24 bits");
            break;
        case DibCompression::Bitfields:
            if (header.bitCount != 16 && header.bitCount != 32) {
                return Fail(CodecError::BadHeader, "bitfields need 16 or 32 bits");
            }
            return CheckColourMasks(header);
        case DibCompression::Huffman:
            return Fail(CodecError::Unsupported, "Huffman 1D compression");
        case DibCompression::Jpeg:
        case DibCompression::Png:
            break;
    }
    // Compressed rows have no fixed place, so they are always stored bottom-up.
    if (header.topDown) return Fail(CodecError::BadHeader, "compressed picture stored top-down");
    return Done();
}

// Widens an n-bit channel to 8 bits with rounding, so that the largest value becomes 255.
struct Channel {
    int shift = 0;
    int bits = 0;

    explicit Channel(std::uint32_t mask) {
        if (mask == 0) return;
        shift = std::countr_zero(mask);
        bits = std::popcount(mask);
    }
    std::uint32_t From(std::uint32_t pixel) const {
        if (bits == 0) return 0;
        const std::uint64_t max = (1ull << bits) - 1;
        const std::uint64_t value = (pixel >> shift) & max;
        if (bits == 8) return static_cast<std::uint32_t>(value);
        return static_cast<std::uint32_t>((value * 255 + max / 2) / max);
    }
};

std::uint32_t Rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return red | (green << 8) | (blue << 16);
}

struct Palette {
    std::vector<std::uint32_t> colours;
    std::size_t storedEntries = 0;  // entries in the file, which may be more than we use
};

// The palette and where the pixels start, from the file's offset or right after the palette.
Result<Palette> ReadPalette(const DibHeader& header, std::span<const std::uint8_t> dib,
                            std::uint64_t dibSize, const std::optional<std::size_t>& pixelOffset) {
    auto stored = DibStoredPaletteEntries(header, dibSize, pixelOffset);
    if (!stored) return stored.Failure();
    Palette palette;
    palette.storedEntries = stored.Value();
    // Palettes of true-colour pictures are only hints for old displays: skipped.
    if (header.bitCount > 8) return palette;
    const std::size_t used = std::min(palette.storedEntries, std::size_t{1} << header.bitCount);
    ByteReader reader(dib);
    reader.Seek(header.paletteOffset);
    palette.colours.reserve(used);
    for (std::size_t i = 0; i < used; ++i) {
        auto entry = reader.Bytes(header.paletteEntryBytes);
        if (!entry) return Fail(CodecError::Truncated, "palette cut short");
        palette.colours.push_back(Rgb((*entry)[2], (*entry)[1], (*entry)[0]));
    }
    return palette;
}

Status DecodeIndexedRows(const DibHeader& header, std::span<const std::uint8_t> pixels,
                         std::size_t stride, const std::vector<std::uint32_t>& palette,
                         Bitmap& bitmap) {
    const int bits = header.bitCount;
    const unsigned valueMask = (1u << bits) - 1;
    for (int row = 0; row < header.height; ++row) {
        const std::uint8_t* source = pixels.data() + static_cast<std::size_t>(row) * stride;
        std::uint32_t* target = bitmap.Row(header.topDown ? row : header.height - 1 - row);
        for (int x = 0; x < header.width; ++x) {
            // Pixels are packed from the most significant bit of each byte.
            const std::size_t bitPosition = static_cast<std::size_t>(x) * header.bitCount;
            const int shift = 8 - bits - static_cast<int>(bitPosition % 8);
            const unsigned index = (source[bitPosition / 8] >> shift) & valueMask;
            if (index >= palette.size()) {
                return Fail(CodecError::Corrupt, "pixel refers past the end of the palette");
            }
            target[x] = palette[index];
        }
    }
    return Done();
}

void DecodeTrueColourRows(const DibHeader& header, std::span<const std::uint8_t> pixels,
                          std::size_t stride, bool withAlpha, Bitmap& bitmap) {
    std::array<std::uint32_t, 4> masks = header.masks;
    if (header.compression == DibCompression::Rgb) {
        // Without bitfields, 16 bits are 5-5-5 and 32 bits are B, G, R and a spare byte.
        masks = header.bitCount == 16
                    ? std::array<std::uint32_t, 4>{0x7C00, 0x03E0, 0x001F, 0}
                    : std::array<std::uint32_t, 4>{0x00FF0000, 0x0000FF00, 0x000000FF, 0};
        if (withAlpha) masks[3] = 0xFF000000;
    }
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(withAlpha ? masks[3] : 0);
    const std::size_t bytesPerPixel = header.bitCount / 8u;
    for (int row = 0; row < header.height; ++row) {
        const std::uint8_t* source = pixels.data() + static_cast<std::size_t>(row) * stride;
        std::uint32_t* target = bitmap.Row(header.topDown ? row : header.height - 1 - row);
        for (int x = 0; x < header.width; ++x, source += bytesPerPixel) {
            if (header.bitCount == 24) {
                target[x] = Rgb(source[2], source[1], source[0]);
                continue;
            }
            std::uint32_t value = 0;
            for (std::size_t i = bytesPerPixel; i-- > 0;) value = (value << 8) | source[i];
            target[x] = Rgb(red.From(value), green.From(value), blue.From(value)) |
                        (alpha.From(value) << 24);
        }
    }
}

Result<DibPixels> DecodeEmbedded(const DibHeader& header, std::span<const std::uint8_t> dib,
                                 std::size_t pixelStart) {
    auto place = FindDibEmbedded(header, pixelStart, dib.size());
    if (!place) return place.Failure();
    const auto data = dib.subspan(static_cast<std::size_t>(place.Value().offset),
                                  static_cast<std::size_t>(place.Value().size));
    const FileInput input(data);
    if (Status checked = CheckDibEmbedded(header, input); !checked) return checked.Failure();
    Result<Bitmap> decoded =
        header.compression == DibCompression::Png ? DecodePng(input) : DecodeJpeg(input);
    if (!decoded) return decoded.Failure();
    return DibPixels{std::move(decoded).Value(), pixelStart + data.size()};
}

}  // namespace

bool DibKeepsAlpha(const DibHeader& header, const DibOptions& options) {
    return header.hasAlphaMask || (options.fourthByteIsAlpha && header.bitCount == 32 &&
                                   header.compression == DibCompression::Rgb);
}

Status DecodeDibRows(const DibHeader& header, std::span<const std::uint8_t> rows,
                     std::size_t stride, const std::vector<std::uint32_t>& palette, bool withAlpha,
                     Bitmap& colour) {
    if (header.bitCount <= 8) return DecodeIndexedRows(header, rows, stride, palette, colour);
    DecodeTrueColourRows(header, rows, stride, withAlpha, colour);
    return Done();
}

bool UsesAlpha(const Bitmap& colour) {
    const auto& pixels = colour.Pixels();
    return std::any_of(pixels.begin(), pixels.end(),
                       [](std::uint32_t p) { return AlphaOf(p) != 0; });
}

std::optional<std::size_t> DibRowBytes(std::int64_t width, int bitCount) {
    if (width < 0 || bitCount <= 0) return std::nullopt;
    auto bits = CheckedMul(static_cast<std::size_t>(width), static_cast<std::size_t>(bitCount));
    if (!bits) return std::nullopt;
    auto padded = CheckedAdd(*bits, 31);
    if (!padded) return std::nullopt;
    // Whole 32-bit words per row.
    return *padded / 32 * 4;
}

Result<DibRowsSize> MeasureDibRows(std::int64_t width, int bitCount, std::int64_t height) {
    const auto stride = DibRowBytes(width, bitCount);
    if (!stride) return Fail(CodecError::Overflow, "row size does not fit");
    const auto allRows = CheckedMul(*stride, static_cast<std::size_t>(height));
    if (!allRows) return Fail(CodecError::Overflow, "pixel data size does not fit");
    // DibRowBytes has refused a width or a bit count below 1.
    const std::size_t lastRowBytes =
        (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 7) / 8;
    return DibRowsSize{*stride, *allRows, *allRows - *stride + lastRowBytes};
}

Result<std::size_t> DibStoredPaletteEntries(const DibHeader& header, std::uint64_t dibSize,
                                            const std::optional<std::size_t>& pixelOffset) {
    const std::uint64_t limit = pixelOffset ? *pixelOffset : dibSize;
    if (limit < header.paletteOffset) {
        return Fail(CodecError::BadHeader, "pixels start inside the header");
    }
    const std::uint64_t room = (limit - header.paletteOffset) / header.paletteEntryBytes;
    if (header.bitCount > 8 || header.coloursUsed != 0) {
        // A declared palette must fit; one larger than the depth allows is read and cut.
        if (header.coloursUsed > room) {
            return Fail(pixelOffset ? CodecError::BadHeader : CodecError::Truncated,
                        "palette larger than the room for it");
        }
        return std::size_t{header.coloursUsed};
    }
    const std::size_t depthEntries = std::size_t{1} << header.bitCount;
    // An implied palette may be short; OS/2 files end it where the pixels begin.
    if (pixelOffset) return static_cast<std::size_t>(std::min<std::uint64_t>(depthEntries, room));
    if (depthEntries > room) return Fail(CodecError::Truncated, "palette cut short");
    return depthEntries;
}

Result<DibHeader> ReadDibHeader(std::span<const std::uint8_t> dib) {
    ByteReader reader(dib);
    DibHeader header;
    const auto size = reader.U32();
    if (!size) return Fail(CodecError::Truncated, "no info header");
    header.headerSize = *size;
    if (!IsKnownHeaderSize(header.headerSize)) {
        return Fail(CodecError::BadHeader, "unknown info header size");
    }
    if (dib.size() < header.headerSize) return Fail(CodecError::Truncated, "info header cut short");

    std::int64_t height = 0;
    std::uint16_t planes = 0;
    std::uint32_t compressionValue = 0;
    if (header.headerSize == kCoreHeaderBytes) {
        header.width = *reader.U16();
        height = *reader.U16();
        planes = *reader.U16();
        header.bitCount = *reader.U16();
        header.paletteEntryBytes = 3;
    } else {
        header.width = *reader.I32();
        height = *reader.I32();
        planes = *reader.U16();
        header.bitCount = *reader.U16();
        if (header.headerSize >= kInfoHeaderBytes) {
            compressionValue = *reader.U32();
            header.imageBytes = *reader.U32();
            reader.Skip(8);  // pixels per metre: not used for display
            header.coloursUsed = *reader.U32();
        }
    }
    if (planes != 1) return Fail(CodecError::BadHeader, "planes is not 1");
    if (header.width <= 0 || height == 0) {
        return Fail(CodecError::BadDimensions, "width not positive or height zero");
    }
    // A negative height marks rows stored top row first.
    header.topDown = height < 0;
    if (Status checked = CheckDimensions(header.width, header.topDown ? -height : height);
        !checked) {
        return checked.Failure();
    }
    header.height = static_cast<std::int32_t>(header.topDown ? -height : height);

    const bool os2 =
        header.headerSize == kOs2ShortHeaderBytes || header.headerSize == kOs2HeaderBytes;
    bool alphaBitfields = false;
    const auto compression = CompressionFromValue(compressionValue, os2, alphaBitfields);
    if (!compression) return Fail(CodecError::BadHeader, "unknown compression");
    header.compression = *compression;

    header.paletteOffset = header.headerSize;
    if (header.compression == DibCompression::Bitfields) {
        // Masks follow a 40-byte header, or sit in the larger headers at the same place.
        const std::size_t maskCount = alphaBitfields ? 4 : 3;
        const std::size_t masksEnd = kMasksAt + 4 * maskCount;
        if (header.headerSize == kInfoHeaderBytes) header.paletteOffset = masksEnd;
        reader.Seek(kMasksAt);
        for (std::size_t i = 0; i < maskCount; ++i) {
            const auto mask = reader.U32();
            if (!mask) return Fail(CodecError::Truncated, "colour masks cut short");
            header.masks[i] = *mask;
        }
        if (!alphaBitfields && header.headerSize > kAlphaMaskAt) {
            reader.Seek(kAlphaMaskAt);
            header.masks[3] = *reader.U32();
        }
        DropUnusableAlphaMask(header);
    } else if (header.headerSize >= kV4HeaderBytes && header.compression == DibCompression::Rgb &&
               header.bitCount == 32) {
        // V4 and V5 headers may name the spare byte of 32-bit pixels as alpha.
        reader.Seek(kAlphaMaskAt);
        if (*reader.U32() == 0xFF000000) {
            header.masks[3] = 0xFF000000;
            header.hasAlphaMask = true;
        }
    }
    if (Status checked = CheckCombination(header); !checked) return checked.Failure();
    return header;
}

Result<DibEmbedded> FindDibEmbedded(const DibHeader& header, std::uint64_t pixelStart,
                                    std::uint64_t dibSize) {
    const std::uint64_t rest = dibSize - std::min(pixelStart, dibSize);
    if (header.imageBytes > rest) return Fail(CodecError::Truncated, "embedded picture cut short");
    return DibEmbedded{pixelStart, header.imageBytes != 0 ? header.imageBytes : rest};
}

Status CheckDibEmbedded(const DibHeader& header, const FileInput& wrapped) {
    int width = 0, height = 0;
    if (header.compression == DibCompression::Png) {
        auto layout = ReadPngLayout(wrapped);
        if (!layout) return layout.Failure();
        width = layout.Value().width;
        height = layout.Value().height;
    } else {
        auto layout = ReadJpegLayout(wrapped);
        if (!layout) return layout.Failure();
        width = layout.Value().width;
        height = layout.Value().height;
    }
    if (width != header.width || height != header.height) {
        return Fail(CodecError::BadDimensions, "embedded picture is not the size of the header");
    }
    return Done();
}

Result<DibLayout> ReadDibLayout(const DibHeader& header, std::span<const std::uint8_t> dib,
                                std::uint64_t dibSize, const DibOptions& options) {
    if (options.pixelOffset && *options.pixelOffset > dibSize) {
        return Fail(CodecError::Truncated, "pixels start past the end of the data");
    }
    auto palette = ReadPalette(header, dib, dibSize, options.pixelOffset);
    if (!palette) return palette.Failure();
    const std::uint64_t pixelStart =
        options.pixelOffset
            ? *options.pixelOffset
            : header.paletteOffset + static_cast<std::uint64_t>(palette.Value().storedEntries) *
                                         header.paletteEntryBytes;
    if (pixelStart > dibSize) return Fail(CodecError::Truncated, "no pixel data");
    return DibLayout{std::move(palette.Value().colours), static_cast<std::size_t>(pixelStart)};
}

Result<DibPixels> DecodeDibPixels(const DibHeader& header, std::span<const std::uint8_t> dib,
                                  const DibOptions& options) {
    auto layout = ReadDibLayout(header, dib, dib.size(), options);
    if (!layout) return layout.Failure();
    const std::size_t pixelStart = layout.Value().pixelStart;
    const std::vector<std::uint32_t>& palette = layout.Value().palette;

    switch (header.compression) {
        case DibCompression::Jpeg:
        case DibCompression::Png:
            return DecodeEmbedded(header, dib, pixelStart);
        case DibCompression::Rle4:
        case DibCompression::Rle8:
        case DibCompression::Rle24: {
            Bitmap colour(header.width, header.height, PixelFormat::Colour);
            auto end = ExpandDibRle(header.compression, dib.subspan(pixelStart), palette, colour);
            if (!end) return end.Failure();
            return DibPixels{std::move(colour), pixelStart + end.Value()};
        }
        default:
            break;
    }

    const auto rows = MeasureDibRows(header.width, header.bitCount, header.height);
    if (!rows) return rows.Failure();
    const std::size_t stride = rows.Value().stride;
    const std::size_t needed = rows.Value().needed;
    if (needed > dib.size() - pixelStart)
        return Fail(CodecError::Truncated, "pixel data cut short");

    Bitmap colour(header.width, header.height, PixelFormat::Colour);
    const bool withAlpha = DibKeepsAlpha(header, options);
    if (Status decoded = DecodeDibRows(header, dib.subspan(pixelStart, needed), stride, palette,
                                       withAlpha, colour);
        !decoded) {
        return decoded.Failure();
    }
    // A picture whose alpha is 0 everywhere was written by a program that did not use alpha.
    colour.SetHasAlpha(withAlpha && UsesAlpha(colour));
    return DibPixels{std::move(colour), pixelStart + rows.Value().all};
}

}  // namespace platform::codecs
