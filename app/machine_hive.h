#pragma once

#include <filesystem>

namespace zentrova {

// Where the machine hive is installed: beside the program, in <prefix>/share/zentrova/ when
// the program is <prefix>/bin/zentrova (the build tree copies it to the same place).
std::filesystem::path MachineHivePath(const std::filesystem::path& executable);

// The running program's own file (/proc/self/exe), or an empty path when it cannot be read.
std::filesystem::path CurrentExecutable();

}  // namespace zentrova
