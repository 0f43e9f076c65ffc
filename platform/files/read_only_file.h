#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <system_error>

namespace platform {

struct OpenedFile;

// A regular file open for reading, read where the reader asks. Reads keep no file position,
// so several threads may read the same file at once.
class ReadOnlyFile {
  public:
    // Opens the regular file at the path (UTF-8) when it holds at most `maxBytes` bytes.
    static OpenedFile Open(const std::string& path, std::uint64_t maxBytes);

    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // The size the file had when it was opened.
    std::uint64_t Size() const { return m_size; }
    // Copies the bytes from `offset` on into `into` until it is full, the file ends or it can
    // no longer be read; returns how many.
    std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) const;

  private:
    ReadOnlyFile(std::uintptr_t handle, std::uint64_t size) : m_handle(handle), m_size(size) {}

    std::uintptr_t m_handle;  // the platform's own: a descriptor, or a Windows HANDLE
    std::uint64_t m_size;
};

// Why a file could not be opened for reading.
enum class OpenFailure {
    None,
    NotFound,    // no such file, or no such folder on its path
    Unreadable,  // the system refused; `reason` says why
    NotAFile,    // a folder, a device or the like
    TooLarge,    // more than the bytes allowed
};

struct OpenedFile {
    std::unique_ptr<ReadOnlyFile> file;  // null unless opened
    OpenFailure failure = OpenFailure::None;
    std::error_code reason;  // the system's reason, for NotFound and Unreadable
};

}  // namespace platform
