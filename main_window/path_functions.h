#pragma once

#include <string>

#include "platform/system/path_separator.h"

namespace zentrova {

using platform::kPathSeparator;

// True when a regular, non-hidden file matches sSource ("*" and "?" are the only wildcards).
bool FileExists(const std::string& sSource);
// AddPath with Slash at its end, unless its last character already is Slash.
std::string AddSlash(const std::string& AddPath, const std::string& Slash);
// The part of FileString after its last separator; empty when it holds none.
std::string GetFileNameFromString(const std::string& FileString);

}  // namespace zentrova
