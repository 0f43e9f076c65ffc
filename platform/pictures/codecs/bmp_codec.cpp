#include "platform/pictures/codecs/bmp_codec.h"

#include "platform/pictures/codecs/byte_reader.h"
#include "platform/pictures/codecs/byte_writer.h"
#include "platform/pictures/codecs/dib_codec.h"
#include "platform/pictures/codecs/dib_format.h"
#include "platform/pictures/codecs/limits.h"

namespace platform::codecs {

namespace {

// 96 dots per inch.
constexpr std::uint32_t kPixelsPerMetre = 2835;

}  // namespace

std::optional<std::uint32_t> ReadBmpPixelOffset(std::span<const std::uint8_t> start) {
    ByteReader reader(start);
    if (!reader.Seek(kBmpPixelOffsetAt)) return std::nullopt;
    return reader.U32();
}

Result<BmpHeaders> ReadBmpHeaders(std::span<const std::uint8_t> start) {
    ByteReader reader(start);
    const auto signature = reader.Bytes(2);
    if (!signature || (*signature)[0] != 'B' || (*signature)[1] != 'M') {
        return Fail(CodecError::BadSignature, "not a BMP file");
    }
    // bfSize is often wrong in files that display everywhere, so it is not relied on.
    const auto pixelOffset = ReadBmpPixelOffset(start);
    if (!pixelOffset) return Fail(CodecError::Truncated, "file header cut short");

    auto header = ReadDibHeader(start.subspan(kBmpFileHeaderBytes));
    if (!header) return header.Failure();
    if (*pixelOffset < kBmpFileHeaderBytes) {
        return Fail(CodecError::BadHeader, "pixels start inside the file header");
    }
    BmpHeaders headers{header.Value(), {}};
    headers.options.pixelOffset = *pixelOffset - kBmpFileHeaderBytes;
    return headers;
}

Result<Bitmap> DecodeBmp(std::span<const std::uint8_t> file) {
    auto headers = ReadBmpHeaders(file);
    if (!headers) return headers.Failure();
    auto pixels = DecodeDibPixels(headers.Value().header, file.subspan(kBmpFileHeaderBytes),
                                  headers.Value().options);
    if (!pixels) return pixels.Failure();
    return std::move(pixels.Value().colour);
}

Result<std::vector<std::uint8_t>> EncodeBmp24(const Bitmap& bitmap) {
    if (bitmap.IsEmpty()) return Fail(CodecError::BadDimensions, "a bitmap file needs pixels");
    const auto width = static_cast<std::size_t>(bitmap.Width());
    const auto height = static_cast<std::size_t>(bitmap.Height());
    const std::size_t stride = *DibRowBytes(bitmap.Width(), 24);
    const auto pixelBytes = CheckedMul(stride, height);
    const std::size_t headers = kBmpFileHeaderBytes + kInfoHeaderBytes;
    // The format stores sizes in 32 bits; a bitmap too large for them cannot be written.
    if (!pixelBytes || *pixelBytes > 0xFFFFFFFFu - headers) {
        return Fail(CodecError::LimitExceeded, "too large for a bitmap file's 32-bit sizes");
    }

    std::vector<std::uint8_t> out;
    out.reserve(headers + *pixelBytes);
    out.push_back('B');
    out.push_back('M');
    PutU32(out, static_cast<std::uint32_t>(headers + *pixelBytes));
    PutU32(out, 0);
    PutU32(out, static_cast<std::uint32_t>(headers));

    PutU32(out, kInfoHeaderBytes);
    PutU32(out, static_cast<std::uint32_t>(width));
    PutU32(out, static_cast<std::uint32_t>(height));  // positive: bottom row first
    PutU16(out, 1);
    PutU16(out, 24);
    PutU32(out, kBiRgb);
    PutU32(out, static_cast<std::uint32_t>(*pixelBytes));
    PutU32(out, kPixelsPerMetre);
    PutU32(out, kPixelsPerMetre);
    PutU32(out, 0);
    PutU32(out, 0);

    for (std::size_t row = height; row-- > 0;) {
        for (std::size_t x = 0; x < width; ++x) {
            std::uint32_t pixel = bitmap.At(static_cast<int>(x), static_cast<int>(row));
            if (bitmap.IsMonochrome()) pixel = pixel ? 0xFFFFFF : 0;
            out.push_back(static_cast<std::uint8_t>(pixel >> 16));  // blue
            out.push_back(static_cast<std::uint8_t>(pixel >> 8));   // green
            out.push_back(static_cast<std::uint8_t>(pixel));        // red
        }
        out.insert(out.end(), stride - width * 3, 0);
    }
    return out;
}

}  // namespace platform::codecs
