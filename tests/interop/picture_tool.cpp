// zentrova_picture_tool: our picture reading and writing from the command line, for the
// interoperability test that compares them with independent readers and writers.
//
//   decode IN OUT.pam    LoadPicture, then the pixels as an 8-bit RGBA PAM file
//   save IN OUT          LoadPicture, then SavePicture (icons as .ICO, bitmaps as .BMP)
//   make-icon OUT.ico    the fixed test icon through SavePicture
//   make-bmp OUT.bmp     the fixed test bitmap through SavePicture
//   show IN              LoadPicture, then what the window decodes of it: a pane's top-left
//                        corner and the overview of a stretched pane

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "platform/graphics/icon_image.h"
#include "platform/pictures/picture_files.h"
#include "platform/platform_error.h"

namespace {

using platform::Bitmap;
using platform::IconImage;
using platform::PixelFormat;

constexpr int kSide = 32;

// The colours of the test pattern, 0xBBGGRR: opaque black and white, the three colours one
// step off white (the key colour of the mask step), primaries and greys.
constexpr std::uint32_t kBands[8] = {0x000000, 0xFFFFFF, 0xFEFFFF, 0xFFFEFF,
                                     0xFFFFFE, 0x0000FF, 0x00C000, 0x808080};

// Keep in step with pattern() in interop_test.py.
bool IsTransparent(int x, int y) {
    return (x < 6 && y < 6) || (x >= 16 && (x + y) % 7 == 0);
}

std::uint32_t PatternColour(int x, int y) {
    if (x >= 28) return 0x000000;  // an opaque black column beside the stripes
    const auto row = static_cast<std::uint32_t>(y);
    if (x >= 24) return 0xA0 | (row * 8) << 8 | (255 - row * 8) << 16;
    return kBands[row / 4];
}

IconImage TestIcon() {
    IconImage icon;
    icon.colour = Bitmap(kSide, kSide, PixelFormat::Colour);
    icon.mask = Bitmap(kSide, kSide, PixelFormat::Monochrome);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const bool clear = IsTransparent(x, y);
            // A see-through pixel has colour 0, so that drawing it leaves the surface as it is.
            icon.colour.Set(x, y, clear ? 0 : PatternColour(x, y));
            icon.mask.Set(x, y, clear ? 1 : 0);
        }
    }
    return icon;
}

Bitmap TestBitmap() {
    Bitmap pixels(kSide, kSide, PixelFormat::Colour);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) pixels.Set(x, y, PatternColour(x, y));
    }
    return pixels;
}

bool WritePam(const Bitmap& pixels, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "P7\nWIDTH " << pixels.Width() << "\nHEIGHT " << pixels.Height()
        << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    for (int y = 0; y < pixels.Height(); ++y) {
        for (int x = 0; x < pixels.Width(); ++x) {
            std::uint32_t p = pixels.At(x, y);
            if (pixels.IsMonochrome()) p = p ? 0xFFFFFF : 0;
            const std::uint32_t alpha = pixels.HasAlpha() ? p >> 24 : 255;
            const char rgba[4] = {static_cast<char>(p & 0xFF), static_cast<char>((p >> 8) & 0xFF),
                                  static_cast<char>((p >> 16) & 0xFF), static_cast<char>(alpha)};
            out.write(rgba, 4);
        }
    }
    return static_cast<bool>(out);
}

int Usage() {
    std::cerr << "usage: zentrova_picture_tool decode IN OUT.pam | save IN OUT | make-icon OUT.ico "
                 "| make-bmp OUT.bmp | show IN\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string command = argv[1];
    try {
        if (command == "decode" && argc == 4) {
            const platform::Picture picture = platform::LoadPicture(argv[2]);
            const Bitmap pixels =
                picture.Icon() ? platform::IconWithAlpha(*picture.Icon()) : picture.Pixels();
            return WritePam(pixels, argv[3]) ? 0 : 1;
        }
        if (command == "save" && argc == 4) {
            platform::SavePicture(platform::LoadPicture(argv[2]), argv[3]);
            return 0;
        }
        if (command == "show" && argc == 3) {
            const platform::Picture picture = platform::LoadPicture(argv[2]);
            static_cast<void>(picture.Region(32, 32));
            static_cast<void>(picture.Overview(80, 80));
            return 0;
        }
        if (command == "make-icon" && argc == 3) {
            platform::SavePicture(platform::Picture::FromIcon(TestIcon()), argv[2]);
            return 0;
        }
        if (command == "make-bmp" && argc == 3) {
            platform::SavePicture(platform::Picture::FromBitmap(TestBitmap()), argv[2]);
            return 0;
        }
    } catch (const platform::PlatformError& error) {
        std::cerr << "error " << static_cast<int>(error.Number()) << ": " << error.what() << "\n";
        return 1;
    }
    return Usage();
}
