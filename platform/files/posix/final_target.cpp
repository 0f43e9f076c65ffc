#include "platform/files/posix/final_target.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/posix/errno_error.h"
#include "platform/files/save_refusal.h"

namespace platform {

namespace {

namespace fs = std::filesystem;

// As the kernel allows: in a shared folder such as /tmp, a link the user did not make may
// still be the folder owner's, who could replace anything in it anyway.
bool MayFollow(const struct stat& link, const struct stat& folder) {
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return !shared || link.st_uid == ::geteuid() || link.st_uid == folder.st_uid;
}

}  // namespace

fs::path FinalTarget(const fs::path& path, std::error_code& error) {
    fs::path target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat link {};
        if (::lstat(target.c_str(), &link) != 0) {
            if (errno != ENOENT) error = LastError();  // no file yet is a new one
            return target;
        }
        if (!S_ISLNK(link.st_mode)) return target;
        const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
        struct stat holder {};
        if (::stat(folder.c_str(), &holder) != 0) {
            error = LastError();
            return {};
        }
        if (!MayFollow(link, holder)) {
            error = SaveRefusal::LinkOfAnotherUser;
            return {};
        }
        const fs::path next = fs::read_symlink(target, error);
        if (error) return {};
        target = next.is_absolute() ? next : folder / next;
    }
    error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return {};
}

}  // namespace platform
