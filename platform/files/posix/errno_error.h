#pragma once

#include <cerrno>
#include <system_error>

namespace platform {

// The reason the last failed system call gave.
inline std::error_code LastError() {
    return std::error_code(errno, std::generic_category());
}

}  // namespace platform
