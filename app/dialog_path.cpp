#include "app/dialog_path.h"

#include <filesystem>

namespace zentrova {

std::string DialogPath(const std::string& name) {
    if (name.empty()) return name;
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(name, error);
    if (error) return name;
    return full.lexically_normal().string();
}

}  // namespace zentrova
