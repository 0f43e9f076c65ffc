#include "platform/files/windows/wide_path.h"

#include <windows.h>

#include <limits>

namespace platform {

bool WidePath(const std::string& path, std::wstring& wide) {
    wide.clear();
    if (path.empty()) return true;
    if (path.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return false;
    const int length = static_cast<int>(path.size());
    const int units =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), length, nullptr, 0);
    if (units <= 0) return false;
    wide.resize(static_cast<std::size_t>(units));
    return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), length, wide.data(),
                                 units) == units;
}

}  // namespace platform
