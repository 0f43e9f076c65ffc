#include "tests/platform/system/registry_keys.h"

#include <windows.h>

#include <stdexcept>

namespace test_support {

void WriteMachineString(const std::string& key, const std::string& name, const std::string& text,
                        bool withNul) {
    HKEY opened = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &opened, nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot create " + key);
    }
    const auto size = static_cast<DWORD>(text.size() + (withNul ? 1 : 0));
    const LONG written = ::RegSetValueExA(opened, name.c_str(), 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(text.c_str()), size);
    ::RegCloseKey(opened);
    if (written != ERROR_SUCCESS) throw std::runtime_error("cannot write " + name);
}

void RemoveMachineKey(const std::string& key) {
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
}

}  // namespace test_support
