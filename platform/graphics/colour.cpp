#include "platform/graphics/colour.h"

#include <array>

namespace platform {

namespace {

// The standard colour scheme, indexed by COLOR_* number.
constexpr std::array<COLORREF, kSystemColourCount> kStandardScheme = [] {
    std::array<COLORREF, kSystemColourCount> scheme{};
    scheme[COLOR_SCROLLBAR] = RGB(200, 200, 200);
    scheme[COLOR_BACKGROUND] = RGB(0, 0, 0);
    scheme[COLOR_ACTIVECAPTION] = RGB(153, 180, 209);
    scheme[COLOR_INACTIVECAPTION] = RGB(191, 205, 219);
    scheme[COLOR_MENU] = RGB(240, 240, 240);
    scheme[COLOR_WINDOW] = RGB(255, 255, 255);
    scheme[COLOR_WINDOWFRAME] = RGB(100, 100, 100);
    scheme[COLOR_MENUTEXT] = RGB(0, 0, 0);
    scheme[COLOR_WINDOWTEXT] = RGB(0, 0, 0);
    scheme[COLOR_CAPTIONTEXT] = RGB(0, 0, 0);
    scheme[COLOR_ACTIVEBORDER] = RGB(180, 180, 180);
    scheme[COLOR_INACTIVEBORDER] = RGB(244, 247, 252);
    scheme[COLOR_APPWORKSPACE] = RGB(171, 171, 171);
    scheme[COLOR_HIGHLIGHT] = RGB(51, 153, 255);
    scheme[COLOR_HIGHLIGHTTEXT] = RGB(255, 255, 255);
    scheme[COLOR_BTNFACE] = RGB(240, 240, 240);
    scheme[COLOR_BTNSHADOW] = RGB(160, 160, 160);
    scheme[COLOR_GRAYTEXT] = RGB(109, 109, 109);
    scheme[COLOR_BTNTEXT] = RGB(0, 0, 0);
    scheme[COLOR_INACTIVECAPTIONTEXT] = RGB(0, 0, 0);
    scheme[COLOR_BTNHIGHLIGHT] = RGB(255, 255, 255);
    scheme[COLOR_3DDKSHADOW] = RGB(105, 105, 105);
    scheme[COLOR_3DLIGHT] = RGB(227, 227, 227);
    scheme[COLOR_INFOTEXT] = RGB(0, 0, 0);
    scheme[COLOR_INFOBK] = RGB(255, 255, 225);
    return scheme;
}();

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
