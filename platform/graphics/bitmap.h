#pragma once

#include <cstdint>
#include <vector>

namespace platform {

enum class PixelFormat { Monochrome, Colour };

// A rectangle of pixels, top row first. Colour pixels are 0xAABBGGRR, where the alpha byte
// counts only when hasAlpha is set; monochrome pixels are 0 or 1.
class Bitmap {
  public:
    Bitmap() = default;
    Bitmap(int width, int height, PixelFormat format, std::uint32_t fill = 0);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    PixelFormat Format() const { return m_format; }
    bool IsMonochrome() const { return m_format == PixelFormat::Monochrome; }
    bool HasAlpha() const { return m_hasAlpha; }
    void SetHasAlpha(bool hasAlpha) { m_hasAlpha = hasAlpha; }
    bool IsEmpty() const { return m_width == 0 || m_height == 0; }

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
    std::uint32_t At(int x, int y) const { return m_pixels[Index(x, y)]; }
    void Set(int x, int y, std::uint32_t value) { m_pixels[Index(x, y)] = value; }

    std::uint32_t* Row(int y) { return m_pixels.data() + Index(0, y); }
    const std::uint32_t* Row(int y) const { return m_pixels.data() + Index(0, y); }
    const std::vector<std::uint32_t>& Pixels() const { return m_pixels; }

    // The part of this bitmap inside (x, y, width, height), clipped to its bounds.
    Bitmap Crop(int x, int y, int width, int height) const;
    void Fill(std::uint32_t value);

    bool operator==(const Bitmap&) const = default;

  private:
    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) +
               static_cast<std::size_t>(x);
    }

    int m_width = 0;
    int m_height = 0;
    PixelFormat m_format = PixelFormat::Colour;
    bool m_hasAlpha = false;
    std::vector<std::uint32_t> m_pixels;
};

inline constexpr std::uint32_t AlphaOf(std::uint32_t pixel) {
    return pixel >> 24;
}
inline constexpr std::uint32_t ColourOf(std::uint32_t pixel) {
    return pixel & 0x00FFFFFF;
}
inline constexpr std::uint32_t WithAlpha(std::uint32_t colour, std::uint32_t alpha) {
    return (colour & 0x00FFFFFF) | (alpha << 24);
}

// Draws `source` over `target` at (x, y): by alpha when the source has it, else copied.
void Composite(const Bitmap& source, Bitmap& target, int x, int y);

// Scales `source` to width x height by averaging the pixels each target pixel covers.
Bitmap Scale(const Bitmap& source, int width, int height);

}  // namespace platform
