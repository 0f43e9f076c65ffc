#pragma once

#include <windows.h>

#include <system_error>

namespace platform {

// The reason the last failed Win32 call gave, in the system's own category: a missing file
// or folder still compares equal to std::errc::no_such_file_or_directory.
inline std::error_code LastError() {
    return std::error_code(static_cast<int>(::GetLastError()), std::system_category());
}

}  // namespace platform
