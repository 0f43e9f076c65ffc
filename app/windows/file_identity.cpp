#include "app/file_identity.h"

#include <windows.h>

#include "platform/wide_text.h"

namespace zentrova {

std::optional<FileIdentity> FileIdentity::Of(const std::string& path) {
    std::wstring wide;
    if (!platform::ToWide(path, wide)) return std::nullopt;
    // No access asked, only the file's information; a folder does not open without
    // FILE_FLAG_BACKUP_SEMANTICS, so only files have an identity.
    HANDLE file =
        ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(file, &info) != 0;
    ::CloseHandle(file);
    if (!known || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::nullopt;
    const auto wide64 = [](DWORD high, DWORD low) {
        return (static_cast<std::uint64_t>(high) << 32) | low;
    };
    return FileIdentity{info.dwVolumeSerialNumber, wide64(info.nFileIndexHigh, info.nFileIndexLow),
                        static_cast<std::int64_t>(wide64(info.ftLastWriteTime.dwHighDateTime,
                                                         info.ftLastWriteTime.dwLowDateTime)),
                        0,
                        static_cast<std::int64_t>(wide64(info.nFileSizeHigh, info.nFileSizeLow))};
}

}  // namespace zentrova
