#include "platform/win32/dib_drawing.h"

#include <cstdint>
#include <vector>

namespace platform::win32 {

namespace {

std::uint32_t Blend(std::uint32_t over, std::uint32_t under, std::uint32_t alpha, int shift) {
    const std::uint32_t top = (over >> shift) & 0xFF;
    const std::uint32_t bottom = (under >> shift) & 0xFF;
    return ((top * alpha + bottom * (255 - alpha) + 127) / 255) << shift;
}

// 0x00BBGGRR becomes the 0x00RRGGBB of a 32-bit DIB; alpha is kept in the top byte when asked.
std::uint32_t DibPixel(std::uint32_t pixel, bool keepAlpha) {
    const std::uint32_t rgb = ((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
    return keepAlpha ? rgb | (pixel & 0xFF000000u) : rgb;
}

// The bitmap's pixels as a top-down 32-bit DIB, laid over `below` when it has alpha.
std::vector<std::uint32_t> DibPixels(const Bitmap& bitmap, COLORREF below) {
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(bitmap.Width()) *
                   static_cast<std::size_t>(bitmap.Height()));
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            std::uint32_t pixel = bitmap.At(x, y);
            if (bitmap.IsMonochrome()) {
                pixel = pixel ? 0xFFFFFFu : 0u;
            } else if (bitmap.HasAlpha()) {
                const std::uint32_t alpha = pixel >> 24;
                pixel = Blend(pixel, below, alpha, 0) | Blend(pixel, below, alpha, 8) |
                        Blend(pixel, below, alpha, 16);
            }
            pixels.push_back(DibPixel(pixel, false));
        }
    }
    return pixels;
}

::BITMAPINFO TopDownInfo(int width, int height) {
    ::BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

void DrawBitmap(::HDC dc, int x, int y, const Bitmap& bitmap, COLORREF below) {
    if (bitmap.IsEmpty()) return;
    const std::vector<std::uint32_t> pixels = DibPixels(bitmap, below);
    const ::BITMAPINFO info = TopDownInfo(bitmap.Width(), bitmap.Height());
    ::SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(bitmap.Width()),
                        static_cast<DWORD>(bitmap.Height()), 0, 0, 0,
                        static_cast<UINT>(bitmap.Height()), pixels.data(), &info, DIB_RGB_COLORS);
}

::HICON CreateWindowIcon(const Bitmap& bitmap) {
    if (bitmap.IsEmpty() || bitmap.IsMonochrome()) return nullptr;
    const ::BITMAPINFO info = TopDownInfo(bitmap.Width(), bitmap.Height());
    void* bits = nullptr;
    ::HDC screen = ::GetDC(nullptr);
    ::HBITMAP colour = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ::ReleaseDC(nullptr, screen);
    if (!colour || !bits) return nullptr;
    auto* out = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            const std::uint32_t pixel = bitmap.At(x, y);
            *out++ = DibPixel(bitmap.HasAlpha() ? pixel : pixel | 0xFF000000u, true);
        }
    }
    // Alpha decides; the mask is all clear. Its rows are padded to 16 bits.
    const std::vector<std::uint8_t> clear(static_cast<std::size_t>((bitmap.Width() + 15) / 16 * 2) *
                                          static_cast<std::size_t>(bitmap.Height()));
    ::HBITMAP mask = ::CreateBitmap(bitmap.Width(), bitmap.Height(), 1, 1, clear.data());
    ::ICONINFO parts{};
    parts.fIcon = TRUE;
    parts.hbmColor = colour;
    parts.hbmMask = mask;
    ::HICON icon = ::CreateIconIndirect(&parts);
    ::DeleteObject(colour);
    ::DeleteObject(mask);
    return icon;
}

}  // namespace platform::win32
