#include "platform/pictures/codecs/dib_header.h"

#include <bit>
#include <optional>

#include "platform/pictures/codecs/byte_reader.h"
#include "platform/pictures/codecs/dib_format.h"
#include "platform/pictures/codecs/limits.h"

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

}  // namespace

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

}  // namespace platform::codecs
