#pragma once

#include <cstdint>
#include <string>

// The system's own registry, where the platform has one: its ANSI calls as they are, with the
// handles, types and results in the 32-bit types of registry.h. A registry handle is a
// 32-bit value on every Windows, so it fits.
namespace platform::system_registry {

std::int32_t OpenKey(std::uint32_t root, const std::string& subKey, std::uint32_t options,
                     std::uint32_t access, std::uint32_t* result);
std::int32_t QueryValue(std::uint32_t key, const std::string& valueName, std::uint32_t* reserved,
                        std::uint32_t* type, char* data, std::uint32_t* size);
std::int32_t CloseKey(std::uint32_t key);

}  // namespace platform::system_registry
