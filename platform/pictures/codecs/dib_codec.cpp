#include "platform/pictures/codecs/dib_codec.h"

#include <algorithm>
#include <vector>

#include "platform/pictures/codecs/dib_rle.h"
#include "platform/pictures/codecs/jpeg_codec.h"
#include "platform/pictures/codecs/png_codec.h"

namespace platform::codecs {

namespace {

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
