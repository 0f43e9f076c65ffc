#include "platform/pictures/save_temp.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string_view>

#include "platform/pictures/errno_error.h"

namespace platform {

namespace {

constexpr std::string_view kPrefix = ".zentrova-";
constexpr std::size_t kLetters = 6;
constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
static_assert(kPrefix.size() + kLetters + 1 == std::tuple_size_v<std::array<char, 17>>);

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

}  // namespace

SaveTemp::SaveTemp(int folder) : m_folder(folder) {
    std::memcpy(m_name.data(), kPrefix.data(), kPrefix.size());
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        FillLetters(m_name.data() + kPrefix.size(), attempt);
        m_fd = ::openat(folder, m_name.data(),
                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            m_named = true;
            return;
        }
        if (errno != EEXIST) break;
    }
    m_error = LastError();
}

SaveTemp::~SaveTemp() {
    if (m_fd >= 0) ::close(m_fd);
    if (m_named) ::unlinkat(m_folder, m_name.data(), 0);
}

std::error_code SaveTemp::Close() {
    const int fd = m_fd;
    m_fd = -1;
    // The descriptor is gone even when close fails, so it is never closed twice.
    return ::close(fd) == 0 ? std::error_code() : LastError();
}

std::error_code SaveTemp::RenameTo(const std::string& name) {
    if (::renameat(m_folder, m_name.data(), m_folder, name.c_str()) != 0) return LastError();
    m_named = false;
    return {};
}

}  // namespace platform
