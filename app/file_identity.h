#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zentrova {

// What tells one version of a file from the next: a save renames a new file over the old, so
// the file on the volume changes, and most likely its time and size too.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    std::int64_t modified = 0;          // seconds, or the platform's own unit
    std::int64_t modifiedFraction = 0;  // nanoseconds where the platform has them
    std::int64_t size = -1;

    // A regular file's identity; none for a missing file or anything else.
    static std::optional<FileIdentity> Of(const std::string& path);
    bool operator==(const FileIdentity& other) const = default;
};

}  // namespace zentrova
