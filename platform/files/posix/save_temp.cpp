#include "platform/files/posix/save_temp.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <string_view>

#include "platform/files/posix/errno_error.h"

namespace platform {

namespace {

constexpr std::string_view kPrefix = ".zentrova-";
constexpr std::size_t kLetters = 6;
constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
static_assert(kPrefix.size() + kLetters + 1 == std::tuple_size_v<std::array<char, 17>>);

// Where locks cannot tell, a file this long unchanged is taken to belong to no save.
constexpr std::time_t kStaleSeconds = 60;

// Letters that another save choosing at the same moment is unlikely to choose; the exclusive
// creation settles any clash.
void FillLetters(char* letters, unsigned attempt) {
    unsigned char raw[kLetters] = {};
    if (::getrandom(raw, sizeof raw, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof raw)) {
        std::uint64_t x = static_cast<std::uint64_t>(
                              std::chrono::steady_clock::now().time_since_epoch().count()) ^
                          (static_cast<std::uint64_t>(::getpid()) << 32) ^ attempt;
        for (unsigned char& byte : raw) {
            x = x * 6364136223846793005u + 1442695040888963407u;
            byte = static_cast<unsigned char>(x >> 56);
        }
    }
    for (std::size_t i = 0; i < kLetters; ++i) letters[i] = kAlphabet[raw[i] % kAlphabet.size()];
}

bool IsSaveTempName(std::string_view name) {
    if (name.size() != kPrefix.size() + kLetters || !name.starts_with(kPrefix)) return false;
    for (char c : name.substr(kPrefix.size())) {
        if (kAlphabet.find(c) == std::string_view::npos) return false;
    }
    return true;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// True while `name` in the folder is the file open as fd.
bool StillNamed(int folder, const char* name, int fd) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           SameFile(opened, named);
}

int Flock(int fd, int operation) {
    int result;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result;
}

bool UnchangedForAMinute(const struct stat& info) {
    return std::time(nullptr) - info.st_mtim.tv_sec > kStaleSeconds;
}

// Removes the file of a temporary name when it belongs to no save any more.
void RemoveIfStale(int folder, const char* name) {
    struct stat info {};
    if (::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) {
        return;
    }
    const int fd =
        ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (UnchangedForAMinute(info)) ::unlinkat(folder, name, 0);
        return;
    }
    bool stale;
    if (Flock(fd, LOCK_EX | LOCK_NB) == 0) {
        stale = StillNamed(folder, name, fd);
    } else {
        stale = errno != EWOULDBLOCK && UnchangedForAMinute(info);
    }
    // The lock goes with the descriptor: a save that took this name meanwhile finds it gone
    // once it holds the file, and picks another.
    if (stale) ::unlinkat(folder, name, 0);
    ::close(fd);
}

}  // namespace

SaveTemp::SaveTemp(int folder) : m_folder(folder) {
    std::memcpy(m_name.data(), kPrefix.data(), kPrefix.size());
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        FillLetters(m_name.data() + kPrefix.size(), attempt);
        {
            const TempRemovedOnSignal::Deferred deferred;
            m_fd = ::openat(folder, m_name.data(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
            if (m_fd >= 0) m_onSignal.Arm(folder, m_name.data());
        }
        if (m_fd < 0) {
            if (errno == EEXIST) continue;
            break;
        }
        // Without locks on the file system the age has to tell; with them, a cleanup that
        // removed the name before the lock was taken means another name.
        if (Flock(m_fd, LOCK_EX) != 0 || StillNamed(folder, m_name.data(), m_fd)) {
            m_named = true;
            return;
        }
        m_onSignal.Disarm();
        ::close(m_fd);
        m_fd = -1;
        errno = EEXIST;
    }
    m_error = LastError();
}

SaveTemp::~SaveTemp() {
    if (m_named) ::unlinkat(m_folder, m_name.data(), 0);
    m_onSignal.Disarm();
    // Closing lets go of the lock, so only now that the name is settled.
    if (m_fd >= 0) ::close(m_fd);
}

std::error_code SaveTemp::RenameTo(const std::string& name) {
    if (::renameat(m_folder, m_name.data(), m_folder, name.c_str()) != 0) return LastError();
    m_named = false;
    m_onSignal.Disarm();
    return {};
}

void RemoveStaleSaveTemps(int folder) {
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) return;
    DIR* entries = ::fdopendir(listing);
    if (!entries) {
        ::close(listing);
        return;
    }
    while (const dirent* entry = ::readdir(entries)) {
        if (IsSaveTempName(entry->d_name)) RemoveIfStale(folder, entry->d_name);
    }
    ::closedir(entries);
}

}  // namespace platform
