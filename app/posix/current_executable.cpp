#include "app/current_executable.h"

#include <system_error>

namespace zentrova {

std::filesystem::path CurrentExecutable() {
    std::error_code error;
    std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : executable;
}

}  // namespace zentrova
