#include "platform/win32/fixed_look.h"

#include <cmath>
#include <string>

#include "platform/win32/window_text.h"

namespace platform::win32 {

COLORREF NativeColour(OLE_COLOR colour) {
    // Both are 0x00BBGGRR.
    return static_cast<COLORREF>(ResolveColour(colour));
}

::HFONT CreateFormFont(const Font& font) {
    ::LOGFONTW description{};
    // A negative height asks for the character height, as point sizes are meant.
    description.lfHeight = -static_cast<LONG>(std::lround(font.size * 96.0f / 72.0f));
    description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    std::wstring name = WideText(font.name);
    name.resize(std::min<std::size_t>(name.size(), LF_FACESIZE - 1));
    name.copy(description.lfFaceName, name.size());
    return ::CreateFontIndirectW(&description);
}

}  // namespace platform::win32
