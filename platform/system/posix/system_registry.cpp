#include "platform/system/system_registry.h"

// This platform has no registry of its own: no key is there to open, so no handle is valid.
namespace platform::system_registry {

namespace {

constexpr std::int32_t kFileNotFound = 2;
constexpr std::int32_t kInvalidHandle = 6;

}  // namespace

std::int32_t OpenKey(std::uint32_t, const std::string&, std::uint32_t, std::uint32_t,
                     std::uint32_t*) {
    return kFileNotFound;
}

std::int32_t QueryValue(std::uint32_t, const std::string&, std::uint32_t*, std::uint32_t*, char*,
                        std::uint32_t*) {
    return kInvalidHandle;
}

std::int32_t CloseKey(std::uint32_t) {
    return kInvalidHandle;
}

}  // namespace platform::system_registry
