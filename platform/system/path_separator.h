#pragma once

namespace platform {

// The separator between folders and file names on this platform: "/", or "\" on Windows.
extern const char kPathSeparator[];

}  // namespace platform
