#pragma once

#include <string>

namespace platform {

// Attribute bits of the directory search. Read-only files are always found.
inline constexpr int vbNormal = 0;
inline constexpr int vbReadOnly = 1;
inline constexpr int vbHidden = 2;
inline constexpr int vbDirectory = 16;

// The platform's directory search: the name of the first file that the pattern matches, or
// "" when none does. Only the last path component may hold wildcards, and "*" (any run of
// characters) and "?" (one character) are the only ones: "a[1].jpg" names exactly that file.
// A pattern with wildcards matches names without regard to letter case ("*.gif" finds
// LOGO.GIF); a name without wildcards names exactly the file the file system has under it.
// Of several matches the first name in byte order is the one returned, so the answer does
// not depend on the folder's order.
//
// With vbNormal the search finds regular files (or links to them), readable or not; hidden
// files (names starting with ".") and anything else (folders, devices, sockets, dangling
// links) count as missing. vbHidden adds hidden files, vbDirectory adds folders.
//
// On Windows the system matches the names, "\" separates too, and the attributes decide:
// normal, read-only and archive files are found; hidden files only with vbHidden, folders
// only with vbDirectory; system files, devices and volume labels never.
//
// An empty pattern, or one ending in "/", names no file and gives "". A missing or
// unreadable folder gives "" too. A malformed pattern (an embedded NUL, a wildcard in a
// folder name, longer than the platform's longest path) raises PlatformError 76 "Path not
// found"; an attribute bit other than those above raises 5 "Invalid procedure call or
// argument".
std::string Dir(const std::string& pattern, int attributes = vbNormal);

}  // namespace platform
