#include "platform/files/read_only_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

#include "platform/files/posix/errno_error.h"

namespace platform {

namespace {

int Descriptor(std::uintptr_t handle) {
    return static_cast<int>(handle);
}

OpenedFile Failed(OpenFailure failure, std::error_code reason = {}) {
    return OpenedFile{nullptr, failure, reason};
}

}  // namespace

OpenedFile ReadOnlyFile::Open(const std::string& path, std::uint64_t maxBytes) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const bool missing = errno == ENOENT || errno == ENOTDIR;
        return Failed(missing ? OpenFailure::NotFound : OpenFailure::Unreadable, LastError());
    }
    if (!S_ISREG(info.st_mode)) return Failed(OpenFailure::NotAFile);
    if (static_cast<std::uint64_t>(info.st_size) > maxBytes) return Failed(OpenFailure::TooLarge);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Failed(OpenFailure::Unreadable, LastError());
    struct stat opened {};
    // The file opened is the one whose size counts, should the name have moved meanwhile.
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        return Failed(OpenFailure::NotAFile);
    }
    const auto size = static_cast<std::uint64_t>(opened.st_size);
    if (size > maxBytes) {
        ::close(fd);
        return Failed(OpenFailure::TooLarge);
    }
    OpenedFile result;
    result.file.reset(new ReadOnlyFile(static_cast<std::uintptr_t>(fd), size));
    return result;
}

ReadOnlyFile::~ReadOnlyFile() {
    ::close(Descriptor(m_handle));
}

std::size_t ReadOnlyFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) const {
    constexpr auto kLastOffset = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max());
    if (offset > kLastOffset || into.size() > kLastOffset - offset) return 0;
    std::size_t done = 0;
    while (done < into.size()) {
        // pread keeps no file position, so other threads may read the file at the same time.
        const ssize_t got = ::pread(Descriptor(m_handle), into.data() + done, into.size() - done,
                                    static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;  // cut short since it was opened, or unreadable
        done += static_cast<std::size_t>(got);
    }
    return done;
}

}  // namespace platform
