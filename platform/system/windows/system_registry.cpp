#include "platform/system/system_registry.h"

#include <windows.h>

namespace platform::system_registry {

namespace {

// Handles are 32-bit values sign-extended to the pointer's width, the predefined roots too.
HKEY Native(std::uint32_t key) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(key)));
}

std::uint32_t Narrow(HKEY key) {
    return static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(key));
}

}  // namespace

std::int32_t OpenKey(std::uint32_t root, const std::string& subKey, std::uint32_t options,
                     std::uint32_t access, std::uint32_t* result) {
    HKEY opened = nullptr;
    const LONG answer = ::RegOpenKeyExA(Native(root), subKey.c_str(), options, access, &opened);
    if (answer == ERROR_SUCCESS && result) *result = Narrow(opened);
    return answer;
}

std::int32_t QueryValue(std::uint32_t key, const std::string& valueName, std::uint32_t* reserved,
                        std::uint32_t* type, char* data, std::uint32_t* size) {
    DWORD nativeType = 0;
    DWORD nativeSize = size ? *size : 0;
    const LONG answer = ::RegQueryValueExA(
        Native(key), valueName.c_str(), reinterpret_cast<LPDWORD>(reserved), &nativeType,
        reinterpret_cast<LPBYTE>(data), size ? &nativeSize : nullptr);
    if (type) *type = nativeType;
    if (size) *size = nativeSize;
    return answer;
}

std::int32_t CloseKey(std::uint32_t key) {
    return ::RegCloseKey(Native(key));
}

}  // namespace platform::system_registry
