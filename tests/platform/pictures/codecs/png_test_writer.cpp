#include "tests/platform/pictures/codecs/png_test_writer.h"

#include <png.h>

#include <cstdlib>

namespace test_support {

namespace {

void Append(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

}  // namespace

// libpng's default error handler ends the process, which is fine for test input it made.
std::vector<std::uint8_t> CompressPng(const platform::Bitmap& pixels, bool interlaced) {
    const bool alpha = pixels.HasAlpha();
    const int channels = alpha ? 4 : 3;
    std::vector<std::uint8_t> samples;
    for (std::uint32_t pixel : pixels.Pixels()) {
        for (int c = 0; c < channels; ++c)
            samples.push_back(static_cast<std::uint8_t>(pixel >> (8 * c)));
    }
    std::vector<png_bytep> rows;
    for (int y = 0; y < pixels.Height(); ++y) {
        rows.push_back(samples.data() + static_cast<std::size_t>(y) *
                                            static_cast<std::size_t>(pixels.Width()) *
                                            static_cast<std::size_t>(channels));
    }
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (!png || !info) std::abort();
    png_set_write_fn(png, &out, Append, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(pixels.Width()),
                 static_cast<png_uint_32>(pixels.Height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

}  // namespace test_support
