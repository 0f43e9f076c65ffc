#include "app/output_folder.h"

#include <filesystem>
#include <system_error>

namespace zentrova {

namespace fs = std::filesystem;

std::string SameFileKey(const std::string& path) {
    std::error_code error;
    const fs::path key = fs::weakly_canonical(path, error);
    return error ? path : key.string();
}

bool MakeOutputFolder(const std::string& folder, const char* undone, std::ostream& err) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (!error) return true;
    err << "zentrova-convert: the folder " << folder << " could not be made (" << error.message()
        << "), so no input was " << undone << std::endl;
    return false;
}

}  // namespace zentrova
