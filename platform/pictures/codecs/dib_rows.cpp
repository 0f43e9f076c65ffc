#include "platform/pictures/codecs/dib_rows.h"

#include <algorithm>
#include <array>
#include <bit>

#include "platform/pictures/codecs/byte_reader.h"
#include "platform/pictures/codecs/limits.h"

namespace platform::codecs {

namespace {

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

}  // namespace platform::codecs
