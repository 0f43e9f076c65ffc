#pragma once

#include <string>

namespace platform {

// Windows only: the wide calls take UTF-16, the program keeps UTF-8.
// UTF-8 text as the wide calls take it; false when it is not UTF-8.
bool ToWide(const std::string& text, std::wstring& wide);
// What a wide call handed back, as UTF-8.
std::string ToUtf8(const std::wstring& wide);

}  // namespace platform
