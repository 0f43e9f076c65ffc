#include "app/machine_hive.h"

#include <system_error>

namespace zentrova {

namespace fs = std::filesystem;

fs::path MachineHivePath(const fs::path& executable) {
    if (executable.empty()) return {};
    return executable.parent_path().parent_path() / "share" / "zentrova" / "machine.reg";
}

fs::path CurrentExecutable() {
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : executable;
}

}  // namespace zentrova
