#include "app/dialog_path.h"

#include <filesystem>
#include <string>

namespace zentrova {

std::string DialogPath(const std::string& name) {
    if (name.empty()) return name;
    // Names are UTF-8. Said so, because a path made of plain chars takes them on Windows as
    // one character each, and the result would come back encoded twice.
    const std::u8string utf8(name.begin(), name.end());
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(utf8, error);
    if (error) return name;
    const std::u8string normal = full.lexically_normal().u8string();
    return std::string(normal.begin(), normal.end());
}

}  // namespace zentrova
