#include "resources/app_icon.h"

#include <array>
#include <string_view>

#include "platform/graphics/colour.h"

namespace zentrova {

namespace {

// One character a pixel: a hex digit is an index into the 16-colour VGA palette, '.' is
// transparent. 0 black, 7 silver, 8 grey, 9 red, A lime, F white.
constexpr std::array<std::string_view, 32> kPixels = {
    "................................", ".000000000000000000000000000000.",
    ".0FFFFFFFFFFFFFFFFFFFFFFFFFFF80.", ".0F7777777777777777777777777780.",
    ".0F7888888888888888888888888780.", ".0F78FFFFFFFFFFFFFFFFFFFFFF8780.",
    ".0F78FFFFFFFFFFFFFFFFFFFFFF8780.", ".0F78FFFFFFFFFFFFFFFFFFFFFF8780.",
    ".0F78FFFFF999F999F9999FFFFF8780.", ".0F78FFFF9FFFFF9FF9FFFFFFFF8780.",
    ".0F78FFFF9F99FF9FF999FFFFFF8780.", ".0F78FFFF9FF9FF9FF9FFFFFFFF8780.",
    ".0F78FFFFF999F999F9FFFFFFFF8780.", ".0F78FFFFFFFFFFFFFFFFFFFFFF8780.",
    ".0F78FFFFFFFFFFFFFFFFFFFFFF8780.", ".0F78FFFFFFFFFFFFFFFFFFFFFF8780.",
    ".0F78FFFFFFFFFFFFFFFFFFFFFF8780.", ".0F7888888888888888888888888780.",
    ".0F7777777777777777777777777780.", ".0F7777777777777777777777A77780.",
    ".0F8888888888888888888888888880.", ".000000000000000000000000000000.",
    "...........0888888880...........", "...........0888888880...........",
    "...00000000000000000000000000...", "...07777777777777777777777770...",
    "...08888888888888888888888880...", "...08888888888880000000000880...",
    "...08888888888887777777777880...", "...08888888888888888888888880...",
    "...00000000000000000000000000...", "................................",
};

constexpr std::array<platform::COLORREF, 16> kVgaPalette = {
    platform::RGB(0, 0, 0),       platform::RGB(128, 0, 0),     platform::RGB(0, 128, 0),
    platform::RGB(128, 128, 0),   platform::RGB(0, 0, 128),     platform::RGB(128, 0, 128),
    platform::RGB(0, 128, 128),   platform::RGB(192, 192, 192), platform::RGB(128, 128, 128),
    platform::RGB(255, 0, 0),     platform::RGB(0, 255, 0),     platform::RGB(255, 255, 0),
    platform::RGB(0, 0, 255),     platform::RGB(255, 0, 255),   platform::RGB(0, 255, 255),
    platform::RGB(255, 255, 255),
};

int PaletteIndex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

platform::IconImage ApplicationIcon() {
    using platform::Bitmap;
    using platform::PixelFormat;
    platform::IconImage icon;
    icon.colour = Bitmap(32, 32, PixelFormat::Colour);
    icon.mask = Bitmap(32, 32, PixelFormat::Monochrome);
    for (int y = 0; y < 32; ++y) {
        const std::string_view row = kPixels[static_cast<std::size_t>(y)];
        for (int x = 0; x < 32; ++x) {
            const int index = PaletteIndex(row[static_cast<std::size_t>(x)]);
            if (index < 0) {
                icon.mask.Set(x, y, 1);
            } else {
                icon.colour.Set(x, y, kVgaPalette[static_cast<std::size_t>(index)]);
            }
        }
    }
    return icon;
}

}  // namespace zentrova
