// Build step: writes the application icon as a PNG for the desktop's icon theme, each pixel
// a square of SIZE / 32 pixels so that the small drawing stays sharp.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/graphics/icon_image.h"
#include "platform/pictures/codecs/png_encoder.h"
#include "resources/app_icon.h"

namespace {

// Scaled by a whole factor with the nearest pixel.
platform::Bitmap Scaled(const platform::Bitmap& icon, int factor) {
    const int size = icon.Width() * factor;
    platform::Bitmap scaled(size, size, platform::PixelFormat::Colour);
    scaled.SetHasAlpha(icon.HasAlpha());
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) scaled.Set(x, y, icon.At(x / factor, y / factor));
    }
    return scaled;
}

bool WriteFile(const char* path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    const int size = argc == 3 ? std::atoi(argv[1]) : 0;
    if (size < 32 || size > 1024 || size % 32 != 0) {
        std::fprintf(stderr, "usage: make_icon_png SIZE OUTPUT.png (SIZE a multiple of 32)\n");
        return 2;
    }
    const platform::Bitmap icon = platform::IconWithAlpha(zentrova::ApplicationIcon());
    const auto png = platform::codecs::EncodePng(Scaled(icon, size / icon.Width()));
    if (!png) {
        std::fprintf(stderr, "make_icon_png: %s\n",
                     platform::codecs::Describe(png.Failure()).c_str());
        return 1;
    }
    if (!WriteFile(argv[2], png.Value())) {
        std::fprintf(stderr, "make_icon_png: %s could not be written\n", argv[2]);
        return 1;
    }
    return 0;
}
