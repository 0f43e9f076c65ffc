#include "platform/files/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/files/posix/errno_error.h"
#include "platform/files/posix/final_target.h"
#include "platform/files/posix/save_temp.h"
#include "platform/files/save_refusal.h"

namespace platform {

namespace {

namespace fs = std::filesystem;

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

// Gives the temporary file what the file it replaces had: owner and group first, since a
// change of owner clears the setuid and setgid bits, and the setgid bit belongs to the file's
// own group. Only an owner of ours may lose a group it cannot give; another user's file is
// not turned into ours.
std::error_code TakeOwnerAndMode(int fd, const struct stat& existing) {
    if (::fchown(fd, existing.st_uid, existing.st_gid) != 0 &&
        !(errno == EPERM && existing.st_uid == ::geteuid())) {
        return LastError();
    }
    if (::fchmod(fd, existing.st_mode & 07777) != 0) return LastError();
    return {};
}

// Makes the new name itself durable: without it a power cut can bring back the old file, or
// none. A folder we may not list cannot be opened to flush; one whose file system cannot
// flush folders says so with EINVAL.
std::error_code FlushFolder(int folder) {
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return {};
    std::error_code error;
    if (::fsync(fd) != 0 && errno != EINVAL) error = LastError();
    ::close(fd);
    return error;
}

std::error_code ReplaceInFolder(int folder, const std::string& name,
                                std::span<const std::uint8_t> bytes) {
    struct stat existing {};
    const bool exists = ::fstatat(folder, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && S_ISDIR(existing.st_mode)) return std::make_error_code(std::errc::is_a_directory);
    if (exists && !S_ISREG(existing.st_mode)) return SaveRefusal::NotARegularFile;
    // Renaming over a file needs only the folder's permission; the file's own decides, as it
    // would for a program that opened it for writing.
    if (exists && ::faccessat(folder, name.c_str(), W_OK, AT_EACCESS) != 0) return LastError();

    RemoveStaleSaveTemps(folder);
    SaveTemp temp(folder);
    if (temp.Error()) return temp.Error();
    if (exists) {
        if (const std::error_code error = TakeOwnerAndMode(temp.Descriptor(), existing)) {
            return error;
        }
    }
    if (!WriteAll(temp.Descriptor(), bytes) || ::fsync(temp.Descriptor()) != 0) return LastError();
    if (const std::error_code error = temp.RenameTo(name)) return error;
    return FlushFolder(folder);
}

}  // namespace

std::error_code WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::error_code error;
    const fs::path target = FinalTarget(fs::path(path), error);
    if (error) return error;
    if (!target.has_filename()) return std::make_error_code(std::errc::is_a_directory);

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    // Only a path: a folder the user may write but not list is still one to save in.
    const int folderFd = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) return LastError();
    error = ReplaceInFolder(folderFd, target.filename().string(), bytes);
    ::close(folderFd);
    return error;
}

}  // namespace platform
