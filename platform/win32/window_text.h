#pragma once

#include <string>

#include "platform/wide_text.h"

namespace platform::win32 {

// The program's UTF-8 as the wide calls take it. Every name the program shows came from a wide
// call or from its own texts, so it is UTF-8; anything else would show as nothing.
inline std::wstring WideText(const std::string& text) {
    std::wstring wide;
    if (!ToWide(text, wide)) wide.clear();
    return wide;
}

}  // namespace platform::win32
