#include "platform/graphics/colour.h"

#include <array>

namespace platform {

namespace {

// The standard colour scheme, indexed by COLOR_* number.
constexpr std::array<COLORREF, 25> kStandardScheme = {
    RGB(200, 200, 200),  // 0 scroll bar
    RGB(0, 0, 0),        // 1 desktop
    RGB(153, 180, 209),  // 2 active caption
    RGB(191, 205, 219),  // 3 inactive caption
    RGB(240, 240, 240),  // 4 menu
    RGB(255, 255, 255),  // 5 window
    RGB(100, 100, 100),  // 6 window frame
    RGB(0, 0, 0),        // 7 menu text
    RGB(0, 0, 0),        // 8 window text
    RGB(0, 0, 0),        // 9 caption text
    RGB(180, 180, 180),  // 10 active border
    RGB(244, 247, 252),  // 11 inactive border
    RGB(171, 171, 171),  // 12 application workspace
    RGB(51, 153, 255),   // 13 highlight
    RGB(255, 255, 255),  // 14 highlight text
    RGB(240, 240, 240),  // 15 button face
    RGB(160, 160, 160),  // 16 button shadow
    RGB(109, 109, 109),  // 17 grey text
    RGB(0, 0, 0),        // 18 button text
    RGB(0, 0, 0),        // 19 inactive caption text
    RGB(255, 255, 255),  // 20 button highlight
    RGB(105, 105, 105),  // 21 3-D dark shadow
    RGB(227, 227, 227),  // 22 3-D light
    RGB(0, 0, 0),        // 23 tooltip text
    RGB(255, 255, 225),  // 24 tooltip background
};

}  // namespace

COLORREF ResolveColour(OLE_COLOR colour) {
    if ((colour & kSystemColourFlag) == 0) return colour & 0x00FFFFFF;
    const auto index = colour & 0xFF;
    return index < kStandardScheme.size() ? kStandardScheme[index] : 0;
}

bool IsValidColour(OLE_COLOR colour) {
    if ((colour & kSystemColourFlag) == 0) return (colour & 0xFF000000) == 0;
    return (colour & 0x7FFFFF00) == 0 && (colour & 0xFF) < kStandardScheme.size();
}

}  // namespace platform
