#pragma once

#include <filesystem>

namespace zentrova {

// The running program's own file, or an empty path when it cannot be told.
std::filesystem::path CurrentExecutable();

}  // namespace zentrova
