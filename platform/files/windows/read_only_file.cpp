#include "platform/files/read_only_file.h"

#include <algorithm>

#include "platform/files/windows/win32_error.h"
#include "platform/wide_text.h"

namespace platform {

namespace {

HANDLE Handle(std::uintptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

OpenedFile Failed(OpenFailure failure, std::error_code reason = {}) {
    OpenedFile result;
    result.failure = failure;
    result.reason = reason;
    return result;
}

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

constexpr DWORD kNotAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE;

std::uint64_t SizeOf(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

}  // namespace

OpenedFile ReadOnlyFile::Open(const std::string& path, std::uint64_t maxBytes) {
    std::wstring wide;
    if (!ToWide(path, wide) || wide.empty()) {
        return Failed(OpenFailure::NotFound, std::make_error_code(std::errc::invalid_argument));
    }
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (!::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &info)) {
        const std::error_code reason = LastError();
        const bool missing = IsMissing(static_cast<DWORD>(reason.value()));
        return Failed(missing ? OpenFailure::NotFound : OpenFailure::Unreadable, reason);
    }
    if (info.dwFileAttributes & kNotAFile) return Failed(OpenFailure::NotAFile);
    if (SizeOf(info.nFileSizeHigh, info.nFileSizeLow) > maxBytes) {
        return Failed(OpenFailure::TooLarge);
    }
    // Others may go on reading, writing, renaming or removing it: what was opened stays.
    const HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Failed(OpenFailure::Unreadable, LastError());
    // The file opened is the one whose size counts, should the name have moved meanwhile.
    LARGE_INTEGER size{};
    if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileSizeEx(file, &size) ||
        size.QuadPart < 0) {
        ::CloseHandle(file);
        return Failed(OpenFailure::NotAFile);
    }
    if (static_cast<std::uint64_t>(size.QuadPart) > maxBytes) {
        ::CloseHandle(file);
        return Failed(OpenFailure::TooLarge);
    }
    OpenedFile result;
    result.file.reset(new ReadOnlyFile(reinterpret_cast<std::uintptr_t>(file),
                                       static_cast<std::uint64_t>(size.QuadPart)));
    return result;
}

ReadOnlyFile::~ReadOnlyFile() {
    ::CloseHandle(Handle(m_handle));
}

std::size_t ReadOnlyFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) const {
    if (into.size() > ~std::uint64_t{0} - offset) return 0;
    std::size_t done = 0;
    while (done < into.size()) {
        // Each read names its own offset, so other threads may read the file at the same time.
        const std::uint64_t at = offset + done;
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        const auto part = static_cast<DWORD>(std::min<std::size_t>(into.size() - done, 1u << 30));
        DWORD got = 0;
        // Cut short since it was opened, or unreadable.
        if (!::ReadFile(Handle(m_handle), into.data() + done, part, &got, &where) || got == 0) {
            break;
        }
        done += got;
    }
    return done;
}

}  // namespace platform
