#include "app/current_executable.h"

#include <windows.h>

#include <string>

namespace zentrova {

std::filesystem::path CurrentExecutable() {
    // The module's name may be longer than MAX_PATH; the call says so by filling the room.
    std::wstring name(MAX_PATH, L'\0');
    while (name.size() <= 32768) {
        const DWORD length =
            GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return {};
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name);
        }
        name.resize(name.size() * 2);
    }
    return {};
}

}  // namespace zentrova
