#include "platform/pictures/codecs/png_encoder.h"

#include <png.h>

#include "platform/pictures/codecs/limits.h"

namespace platform::codecs {

Result<std::vector<std::uint8_t>> EncodePng(const Bitmap& pixels) {
    if (pixels.IsEmpty() || pixels.IsMonochrome()) {
        return Fail(CodecError::BadDimensions, "no colour pixels to write as PNG");
    }
    const auto width = static_cast<std::size_t>(pixels.Width());
    const auto count = CheckedMul(width, static_cast<std::size_t>(pixels.Height()));
    const auto bytes = count ? CheckedMul(*count, 4) : std::nullopt;
    if (!bytes) return Fail(CodecError::Overflow, "picture too large for a PNG in memory");
    // 0xAABBGGRR is R, G, B, A in memory order on a little-endian machine; spelled out so that
    // it holds on any.
    std::vector<std::uint8_t> rgba;
    rgba.reserve(*bytes);
    for (const std::uint32_t p : pixels.Pixels()) {
        rgba.push_back(static_cast<std::uint8_t>(p));
        rgba.push_back(static_cast<std::uint8_t>(p >> 8));
        rgba.push_back(static_cast<std::uint8_t>(p >> 16));
        rgba.push_back(static_cast<std::uint8_t>(pixels.HasAlpha() ? p >> 24 : 0xFF));
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(pixels.Width());
    image.height = static_cast<png_uint_32>(pixels.Height());
    image.format = PNG_FORMAT_RGBA;
    // Asked first for the size, then written into a buffer of that size.
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return Fail(CodecError::Unsupported, "the PNG could not be written");
    }
    std::vector<std::uint8_t> out(size);
    const int written =
        png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr);
    png_image_free(&image);
    if (!written) return Fail(CodecError::Unsupported, "the PNG could not be written");
    out.resize(size);
    return out;
}

}  // namespace platform::codecs
