#pragma once

#include <filesystem>
#include <ostream>

#include "platform/system/registry.h"

namespace zentrova {

// Where the machine hive is installed: beside the program, in <prefix>/share/zentrova/ when
// the program is <prefix>/bin/zentrova (the build tree copies it to the same place).
std::filesystem::path MachineHivePath(const std::filesystem::path& executable);

// The registry read from the file hive. A hive that is there but refused is said on errors,
// and the program goes on with the empty registry it then is; a missing hive is no fault,
// only an empty registry.
platform::Registry LoadMachineRegistry(const std::filesystem::path& hive, std::ostream& errors);

}  // namespace zentrova
