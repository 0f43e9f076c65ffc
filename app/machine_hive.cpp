#include "app/machine_hive.h"

#include <system_error>

namespace zentrova {

namespace fs = std::filesystem;

fs::path MachineHivePath(const fs::path& executable) {
    if (executable.empty()) return {};
    return executable.parent_path().parent_path() / "share" / "zentrova" / "machine.reg";
}

platform::Registry LoadMachineRegistry(const fs::path& hive, std::ostream& errors) {
    platform::Registry registry(hive);
    std::error_code error;
    if (!registry.LoadError().empty() && fs::exists(hive, error)) {
        errors << "zentrova: the system information settings in " << hive.string()
               << " could not be read: " << registry.LoadError() << '\n';
    }
    return registry;
}

}  // namespace zentrova
