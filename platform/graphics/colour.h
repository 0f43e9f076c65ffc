#pragma once

#include <cstdint>

namespace platform {

// A colour as the form runtime stores it: 0x00BBGGRR, or with the high bit set, an index
// into the system colour table.
using OLE_COLOR = std::uint32_t;
// A resolved colour, always 0x00BBGGRR.
using COLORREF = std::uint32_t;

inline constexpr OLE_COLOR kSystemColourFlag = 0x80000000u;

inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_BTNFACE = 15;

inline constexpr OLE_COLOR SystemColour(int index) {
    return kSystemColourFlag | static_cast<OLE_COLOR>(index);
}

inline constexpr COLORREF RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}
inline constexpr std::uint8_t GetRValue(COLORREF c) {
    return c & 0xFF;
}
inline constexpr std::uint8_t GetGValue(COLORREF c) {
    return (c >> 8) & 0xFF;
}
inline constexpr std::uint8_t GetBValue(COLORREF c) {
    return (c >> 16) & 0xFF;
}

// Resolves system colours through one fixed table, the standard scheme, never through the
// desktop theme: the icon mask depends on the window colour being white.
COLORREF ResolveColour(OLE_COLOR colour);

// False for values that name no colour: stray bits above the blue byte, or a system colour
// index beyond the table (so -1, which Point returns outside a pane, is no colour).
bool IsValidColour(OLE_COLOR colour);

}  // namespace platform
