// Build step: writes the application icon as a PNG for the desktop's icon theme, each pixel
// a square of SIZE / 32 pixels so that the small drawing stays sharp.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/graphics/icon_image.h"
#include "resources/app_icon.h"

namespace {

// RGBA rows, scaled by a whole factor with the nearest pixel.
std::vector<png_byte> ScaledRgba(const platform::Bitmap& icon, int factor) {
    const int size = icon.Width() * factor;
    std::vector<png_byte> rgba;
    rgba.reserve(static_cast<std::size_t>(size) * static_cast<std::size_t>(size) * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const std::uint32_t pixel = icon.At(x / factor, y / factor);  // 0xAABBGGRR
            rgba.push_back(static_cast<png_byte>(pixel & 0xFF));
            rgba.push_back(static_cast<png_byte>((pixel >> 8) & 0xFF));
            rgba.push_back(static_cast<png_byte>((pixel >> 16) & 0xFF));
            rgba.push_back(static_cast<png_byte>(platform::AlphaOf(pixel)));
        }
    }
    return rgba;
}

bool WritePng(const char* path, int size, std::vector<png_byte>& rgba) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(size);
    image.height = static_cast<png_uint_32>(size);
    image.format = PNG_FORMAT_RGBA;
    const int written = png_image_write_to_file(&image, path, 0, rgba.data(), 0, nullptr);
    if (!written) std::fprintf(stderr, "make_icon_png: %s\n", image.message);
    png_image_free(&image);
    return written != 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int size = argc == 3 ? std::atoi(argv[1]) : 0;
    if (size < 32 || size > 1024 || size % 32 != 0) {
        std::fprintf(stderr, "usage: make_icon_png SIZE OUTPUT.png (SIZE a multiple of 32)\n");
        return 2;
    }
    const platform::Bitmap icon = platform::IconWithAlpha(zentrova::ApplicationIcon());
    std::vector<png_byte> rgba = ScaledRgba(icon, size / icon.Width());
    return WritePng(argv[2], size, rgba) ? 0 : 1;
}
