#pragma once

#include <string>

namespace platform {

// The UTF-8 path as the wide functions take it; false when it is not UTF-8.
bool WidePath(const std::string& path, std::wstring& wide);

}  // namespace platform
