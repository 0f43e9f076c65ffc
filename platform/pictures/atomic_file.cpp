#include "platform/pictures/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace platform {

namespace {

namespace fs = std::filesystem;

std::error_code LastError() { return std::error_code(errno, std::generic_category()); }

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

// The file a path finally names, following symbolic links even when the last one dangles.
fs::path FinalTarget(const fs::path& path, std::error_code& error) {
    fs::path target = path;
    for (int hops = 0; hops < 40; ++hops) {
        const fs::file_status status = fs::symlink_status(target, error);
        if (error == std::errc::no_such_file_or_directory) error.clear();  // a new file
        if (error || !fs::is_symlink(status)) return target;
        const fs::path link = fs::read_symlink(target, error);
        if (error) return {};
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return {};
}

}  // namespace

std::error_code WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::error_code error;
    const fs::path target = FinalTarget(fs::path(path), error);
    if (error) return error;
    if (!target.has_filename()) return std::make_error_code(std::errc::is_a_directory);

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) return std::make_error_code(std::errc::is_a_directory);
    // Renaming over a file needs only the folder's permission; the file's own decides, as it
    // would for a program that opened it for writing.
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return LastError();

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return LastError();

    mode_t mode;
    if (exists) {
        mode = existing.st_mode & 07777;
        // The owner before the mode: a change of owner clears the setuid and setgid bits, and
        // the setgid bit belongs to the file's own group. Only an owner of ours may lose the
        // group it cannot give; another user's file is not turned into ours.
        if (::fchown(fd, existing.st_uid, existing.st_gid) != 0 &&
            !(errno == EPERM && existing.st_uid == ::geteuid())) {
            error = LastError();
            ::close(fd);
            ::unlink(temp.c_str());
            return error;
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    if (!ok) error = LastError();
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = LastError();
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        error = LastError();
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return error;
    }
    return {};
}

}  // namespace platform
