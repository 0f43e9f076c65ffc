#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <system_error>

namespace platform {

// Writes the bytes to a temporary file in the target's folder, flushes it and renames it over the
// target, so a failure leaves any file already there untouched, then flushes the folder so the new
// name lasts. The temporary file is removed on any failure and on SIGTERM, SIGINT and SIGHUP, and
// each save removes those that saves killed outright left in the folder; its name is short, so any
// name the folder takes can be saved. A target that is a symbolic link is written through to the
// file it names. An existing file the user may not write is refused, as opening it for writing
// would be; one the user may write keeps its owner, group and permissions, and one of another user
// that could not be given back to that user is refused too. On Windows the file is flushed
// and put in place by MoveFileExW; a file with the read-only attribute, or one another program
// holds open without sharing its writing, is refused.
std::error_code WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace platform
