#include "platform/pictures/codecs/png_encoder.h"

#include <png.h>

#include "platform/pictures/codecs/limits.h"

namespace platform::codecs {

namespace {

// libpng's simplified writer wants its own byte order: R, G, B and then A.
std::vector<png_byte> Samples(const Bitmap& bitmap, std::size_t channels) {
    std::vector<png_byte> samples;
    samples.reserve(static_cast<std::size_t>(bitmap.Width()) *
                    static_cast<std::size_t>(bitmap.Height()) * channels);
    for (const std::uint32_t pixel : bitmap.Pixels()) {  // 0xAABBGGRR
        samples.push_back(static_cast<png_byte>(pixel & 0xFF));
        samples.push_back(static_cast<png_byte>((pixel >> 8) & 0xFF));
        samples.push_back(static_cast<png_byte>((pixel >> 16) & 0xFF));
        if (channels == 4) samples.push_back(static_cast<png_byte>(AlphaOf(pixel)));
    }
    return samples;
}

}  // namespace

Result<std::vector<std::uint8_t>> EncodePng(const Bitmap& bitmap) {
    if (bitmap.IsEmpty() || bitmap.IsMonochrome()) {
        return Fail(CodecError::BadDimensions, "no colour picture to write as PNG");
    }
    const std::size_t channels = bitmap.HasAlpha() ? 4 : 3;
    const auto pixels = CheckedMul(static_cast<std::size_t>(bitmap.Width()),
                                   static_cast<std::size_t>(bitmap.Height()));
    if (!pixels || !CheckedMul(*pixels, channels)) {
        return Fail(CodecError::Overflow, "picture too large");
    }
    const std::vector<png_byte> samples = Samples(bitmap, channels);

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(bitmap.Width());
    image.height = static_cast<png_uint_32>(bitmap.Height());
    image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    // Once to learn the size, once to write.
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, samples.data(), 0, nullptr)) {
        CodecFailure failure = Fail(CodecError::Unsupported, image.message);
        png_image_free(&image);
        return failure;
    }
    std::vector<std::uint8_t> file(size);
    if (!png_image_write_to_memory(&image, file.data(), &size, 0, samples.data(), 0, nullptr)) {
        CodecFailure failure = Fail(CodecError::Unsupported, image.message);
        png_image_free(&image);
        return failure;
    }
    file.resize(size);
    return file;
}

}  // namespace platform::codecs
