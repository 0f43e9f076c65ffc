#include "platform/pictures/codecs/ico_encoder.h"

#include <algorithm>
#include <array>

#include "platform/pictures/codecs/byte_writer.h"
#include "platform/pictures/codecs/dib_codec.h"
#include "platform/pictures/codecs/dib_format.h"
#include "platform/pictures/codecs/ico_format.h"

namespace platform::codecs {

namespace {

bool SeeThrough(const IconImage& icon, int x, int y) {
    return icon.mask.Contains(x, y) && icon.mask.At(x, y) != 0;
}

bool CanWrite(const IconImage& icon) {
    return icon.Width() >= 1 && icon.Height() >= 1 && icon.Width() <= kMaxIconSide &&
           icon.Height() <= kMaxIconSide;
}

// The directory with its single entry.
void PutDirectory(std::vector<std::uint8_t>& out, const IconImage& icon, int bitCount,
                  std::size_t paletteEntries, std::size_t dibBytes) {
    PutU16(out, 0);
    PutU16(out, kIcoTypeIcon);
    PutU16(out, 1);
    // A byte holds up to 255; 256 is written as 0.
    out.push_back(static_cast<std::uint8_t>(icon.Width() % kMaxIconSide));
    out.push_back(static_cast<std::uint8_t>(icon.Height() % kMaxIconSide));
    out.push_back(static_cast<std::uint8_t>(paletteEntries % 256));
    out.push_back(0);
    PutU16(out, 1);
    PutU16(out, static_cast<std::uint32_t>(bitCount));
    PutU32(out, static_cast<std::uint32_t>(dibBytes));
    PutU32(out, kIcoDirectoryBytes + kIcoEntryBytes);
}

// The DIB's 40-byte header, with the doubled height.
void PutInfoHeader(std::vector<std::uint8_t>& out, const IconImage& icon, int bitCount,
                   std::size_t imageBytes) {
    PutU32(out, kInfoHeaderBytes);
    PutU32(out, static_cast<std::uint32_t>(icon.Width()));
    PutU32(out, static_cast<std::uint32_t>(icon.Height() * 2));
    PutU16(out, 1);
    PutU16(out, static_cast<std::uint32_t>(bitCount));
    PutU32(out, kBiRgb);
    PutU32(out, static_cast<std::uint32_t>(imageBytes));
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
}

void PutHeaders(std::vector<std::uint8_t>& out, const IconImage& icon, int bitCount,
                std::size_t paletteEntries, std::size_t imageBytes) {
    PutDirectory(out, icon, bitCount, paletteEntries,
                 kInfoHeaderBytes + 4u * paletteEntries + imageBytes);
    PutInfoHeader(out, icon, bitCount, imageBytes);
}

// Where pixel (x, y) of a picture `width` wide is kept, row after row; inside the picture none
// of them is negative.
std::size_t PixelIndex(int x, int y, int width) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
           static_cast<std::size_t>(x);
}

void PutMaskRows(std::vector<std::uint8_t>& out, const std::vector<bool>& seeThrough, int width,
                 int height) {
    const std::size_t stride = *DibRowBytes(width, 1);
    for (int y = height - 1; y >= 0; --y) {
        const std::size_t rowStart = out.size();
        out.resize(rowStart + stride, 0);
        for (int x = 0; x < width; ++x) {
            if (seeThrough[PixelIndex(x, y, width)]) {
                out[rowStart + static_cast<std::size_t>(x / 8)] |=
                    static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
    }
}

constexpr std::array<std::uint32_t, 16> kVgaPalette = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};  // as 0x00BBGGRR: black, maroon, green, olive, navy, purple, teal, silver, grey, red, ...

}  // namespace

std::size_t IconDib32Bytes(const IconImage& icon) {
    const std::size_t pixels = PixelIndex(0, icon.Height(), icon.Width());
    return kInfoHeaderBytes + pixels * 4 +
           *DibRowBytes(icon.Width(), 1) * static_cast<std::size_t>(icon.Height());
}

void PutIconDib32(std::vector<std::uint8_t>& out, const IconImage& icon) {
    const int width = icon.Width();
    const int height = icon.Height();
    PutInfoHeader(out, icon, 32, IconDib32Bytes(icon) - kInfoHeaderBytes);
    std::vector<bool> seeThrough(PixelIndex(0, height, width));
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel = icon.colour.At(x, y);
            if (icon.colour.IsMonochrome()) pixel = pixel ? 0xFFFFFF : 0;
            const bool clear = SeeThrough(icon, x, y);
            seeThrough[PixelIndex(x, y, width)] = clear;
            // Readers that use alpha and readers that use the mask must see the same thing.
            const std::uint32_t alpha = icon.colour.HasAlpha() ? AlphaOf(pixel) : (clear ? 0 : 255);
            out.push_back(static_cast<std::uint8_t>(pixel >> 16));
            out.push_back(static_cast<std::uint8_t>(pixel >> 8));
            out.push_back(static_cast<std::uint8_t>(pixel));
            out.push_back(static_cast<std::uint8_t>(alpha));
        }
    }
    PutMaskRows(out, seeThrough, width, height);
}

Result<std::vector<std::uint8_t>> EncodeIco(const IconImage& icon) {
    if (!CanWrite(icon)) return Fail(CodecError::BadDimensions, "icons are 1 to 256 pixels a side");
    std::vector<std::uint8_t> out;
    PutDirectory(out, icon, 32, 0, IconDib32Bytes(icon));
    PutIconDib32(out, icon);
    return out;
}

Result<std::vector<std::uint8_t>> EncodeIco4Bit(const IconImage& icon) {
    if (!CanWrite(icon)) return Fail(CodecError::BadDimensions, "icons are 1 to 256 pixels a side");
    const int width = icon.Width();
    const int height = icon.Height();
    const std::size_t stride = *DibRowBytes(width, 4);
    const std::size_t colourBytes = stride * static_cast<std::size_t>(height);
    const std::size_t maskBytes = *DibRowBytes(width, 1) * static_cast<std::size_t>(height);

    std::vector<std::uint8_t> out;
    PutHeaders(out, icon, 4, kVgaPalette.size(), colourBytes + maskBytes);
    for (std::uint32_t colour : kVgaPalette) {
        out.push_back(static_cast<std::uint8_t>(colour >> 16));
        out.push_back(static_cast<std::uint8_t>(colour >> 8));
        out.push_back(static_cast<std::uint8_t>(colour));
        out.push_back(0);
    }
    const Bitmap withAlpha = IconWithAlpha(icon);
    std::vector<bool> seeThrough(PixelIndex(0, height, width));
    for (int y = height - 1; y >= 0; --y) {
        const std::size_t rowStart = out.size();
        out.resize(rowStart + stride, 0);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = withAlpha.At(x, y);
            if (AlphaOf(pixel) == 0) {
                // See-through pixels are index 0 (black), so the XOR step leaves them alone.
                seeThrough[PixelIndex(x, y, width)] = true;
                continue;
            }
            const auto found = std::find(kVgaPalette.begin(), kVgaPalette.end(), ColourOf(pixel));
            if (found == kVgaPalette.end()) {
                return Fail(CodecError::Unsupported,
                            "a visible pixel is not one of the 16 colours");
            }
            const auto index = static_cast<std::uint8_t>(found - kVgaPalette.begin());
            out[rowStart + static_cast<std::size_t>(x / 2)] |=
                static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
    }
    PutMaskRows(out, seeThrough, width, height);
    return out;
}

}  // namespace platform::codecs
