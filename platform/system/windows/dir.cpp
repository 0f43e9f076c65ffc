#include "platform/system/dir.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string_view>

#include "platform/platform_error.h"
#include "platform/wide_text.h"

namespace platform {

namespace {

constexpr int kKnownAttributes = vbReadOnly | vbHidden | vbDirectory;

[[noreturn]] void ThrowPathNotFound() {
    throw PlatformError(ErrorNumber::PathNotFound);
}

bool HasWildcard(std::string_view text) {
    return text.find_first_of("*?") != std::string_view::npos;
}

// Normal, read-only and archive files are always found; hidden files and folders only when
// asked for; system files, devices and volume labels never.
bool Qualifies(DWORD found, int attributes) {
    if (found & (FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE)) return false;
    if ((found & FILE_ATTRIBUTE_HIDDEN) && !(attributes & vbHidden)) return false;
    if (found & FILE_ATTRIBUTE_DIRECTORY) return attributes & vbDirectory;
    return true;
}

struct SearchCloser {
    void operator()(HANDLE search) const { ::FindClose(search); }
};

}  // namespace

std::string Dir(const std::string& pattern, int attributes) {
    if (attributes & ~kKnownAttributes) {
        throw PlatformError(ErrorNumber::InvalidProcedureCall);
    }
    if (pattern.find('\0') != std::string::npos || pattern.size() >= MAX_PATH) ThrowPathNotFound();
    if (pattern.empty()) return "";

    const std::size_t cut = pattern.find_last_of("\\/:");
    const std::string_view folder =
        cut == std::string::npos ? std::string_view() : std::string_view(pattern).substr(0, cut);
    if (HasWildcard(folder)) ThrowPathNotFound();
    if (cut == pattern.size() - 1) return "";  // a folder, no file name
    std::wstring wide;
    if (!ToWide(pattern, wide)) ThrowPathNotFound();

    // The system matches the names, in its own way: "*.gif" finds LOGO.GIF.
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileExW(wide.c_str(), FindExInfoBasic, &found,
                                             FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return "";
    const std::unique_ptr<void, SearchCloser> closer(search);
    std::optional<std::string> first;
    do {
        if (!Qualifies(found.dwFileAttributes, attributes)) continue;
        std::string name = ToUtf8(found.cFileName);
        // The first in byte order, so that the answer does not depend on the folder's order.
        if (!first || name < *first) first = std::move(name);
    } while (::FindNextFileW(search, &found));
    return first.value_or("");
}

}  // namespace platform
