#include "platform/system/dir.h"

#include <dirent.h>
#include <sys/stat.h>

#include <climits>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/platform_error.h"

namespace platform {

namespace {

constexpr int kKnownAttributes = vbReadOnly | vbHidden | vbDirectory;

[[noreturn]] void ThrowPathNotFound() {
    throw PlatformError(ErrorNumber::PathNotFound);
}

// Splits UTF-8 text into characters, so that "?" matches one character and not one byte.
// A byte that starts no valid sequence is a character of its own, kept apart from every
// real code point.
std::vector<std::uint32_t> Characters(std::string_view text) {
    std::vector<std::uint32_t> characters;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto lead = static_cast<std::uint8_t>(text[pos]);
        const std::size_t length = lead < 0x80             ? 1
                                   : (lead & 0xE0) == 0xC0 ? 2
                                   : (lead & 0xF0) == 0xE0 ? 3
                                   : (lead & 0xF8) == 0xF0 ? 4
                                                           : 0;
        bool valid = length != 0 && text.size() - pos >= length;
        std::uint32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t i = 1; valid && i < length; ++i) {
            const auto next = static_cast<std::uint8_t>(text[pos + i]);
            valid = (next & 0xC0) == 0x80;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        if (valid) {
            characters.push_back(codePoint);
            pos += length;
        } else {
            characters.push_back(0x110000u + lead);
            ++pos;
        }
    }
    return characters;
}

// Letters in one case, so that "*.gif" finds LOGO.GIF: Latin (ASCII and Latin-1), Greek and
// Cyrillic capitals become small letters.
std::uint32_t Folded(std::uint32_t c) {
    const bool capital = (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
                         (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F);
    if (capital) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;  // Cyrillic capitals with marks
    return c;
}

bool HasWildcard(std::string_view text) {
    return text.find_first_of("*?") != std::string_view::npos;
}

// "*" matches any run of characters, "?" exactly one; every other character only itself, in
// either case.
bool Matches(std::string_view pattern, std::string_view name) {
    std::vector<std::uint32_t> p = Characters(pattern);
    std::vector<std::uint32_t> n = Characters(name);
    for (std::uint32_t& c : p) c = Folded(c);
    for (std::uint32_t& c : n) c = Folded(c);
    std::size_t pi = 0, ni = 0;
    std::optional<std::size_t> starAt;  // the last "*" seen, to back up to
    std::size_t starName = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == '*') {
            starAt = pi++;
            starName = ni;
        } else if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (starAt) {
            // Let the last "*" swallow one more character and try again from there.
            pi = *starAt + 1;
            ni = ++starName;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

// Whether folder/name is something the search finds with these attributes.
bool Qualifies(const std::string& folder, std::string_view name, int attributes) {
    if (name.starts_with('.') && !(attributes & vbHidden)) return false;
    std::string path = folder == "/" ? std::string() : folder;
    path += '/';
    path += name;
    struct stat info {};
    // stat follows links: a link to a file is that file, a dangling one is nothing.
    if (::stat(path.c_str(), &info) != 0) return false;
    if (S_ISREG(info.st_mode)) return true;
    return S_ISDIR(info.st_mode) && (attributes & vbDirectory);
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

std::string Dir(const std::string& pattern, int attributes) {
    if (attributes & ~kKnownAttributes) {
        throw PlatformError(ErrorNumber::InvalidProcedureCall);
    }
    if (pattern.find('\0') != std::string::npos || pattern.size() >= PATH_MAX) ThrowPathNotFound();
    if (pattern.empty()) return "";

    const std::size_t slash = pattern.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : pattern.substr(0, slash);
    const std::string name = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    if (slash != std::string::npos && HasWildcard(folder)) ThrowPathNotFound();
    if (name.empty()) return "";

    if (!HasWildcard(name)) return Qualifies(folder, name, attributes) ? name : "";

    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) return "";
    std::optional<std::string> first;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view candidate = entry->d_name;
        if (first && candidate >= *first) continue;
        if (Matches(name, candidate) && Qualifies(folder, candidate, attributes)) {
            first = std::string(candidate);
        }
    }
    return first.value_or("");
}

}  // namespace platform
