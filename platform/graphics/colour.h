#pragma once

#include <cstdint>

namespace platform {

// A colour as the form runtime stores it: 0x00BBGGRR, or with the high bit set, an index
// into the system colour table.
using OLE_COLOR = std::uint32_t;
// A resolved colour, always 0x00BBGGRR.
using COLORREF = std::uint32_t;

inline constexpr OLE_COLOR kSystemColourFlag = 0x80000000u;

// The system colour indices, the original platform's numbering.
inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_ACTIVEBORDER = 10;
inline constexpr int COLOR_INACTIVEBORDER = 11;
inline constexpr int COLOR_APPWORKSPACE = 12;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;
// How many the table holds: an index at or past it names no colour.
inline constexpr int kSystemColourCount = 25;

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
