#include "platform/files/atomic_file.h"

#include <algorithm>
#include <limits>

#include "platform/files/windows/save_temp.h"
#include "platform/files/windows/win32_error.h"
#include "platform/wide_text.h"

namespace platform {

namespace {

bool WriteAll(HANDLE file, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const auto part = static_cast<DWORD>(
            std::min<std::size_t>(bytes.size(), std::numeric_limits<DWORD>::max()));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), part, &written, nullptr) || written == 0) {
            return false;
        }
        bytes = bytes.subspan(written);
    }
    return true;
}

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// The folder part of the path with its separator ("" for the current folder), and the name.
bool SplitPath(const std::wstring& path, std::wstring& folder, std::wstring& name) {
    std::size_t cut = path.size();
    while (cut > 0 && !IsSeparator(path[cut - 1]) && path[cut - 1] != L':') --cut;
    folder = path.substr(0, cut);
    name = path.substr(cut);
    return !name.empty() && name != L"." && name != L"..";
}

// A file the user could not open for writing is not replaced: the read-only attribute, which
// the rename would pass over, and a file another program holds open without sharing its
// writing, which the rename would find only later.
std::error_code CheckWritable(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return {};  // a new file, or the save will say
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return std::make_error_code(std::errc::is_a_directory);
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        return std::error_code(ERROR_ACCESS_DENIED, std::system_category());
    }
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastError();
    ::CloseHandle(file);
    return {};
}

}  // namespace

std::error_code WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::wstring target;
    std::wstring folder;
    std::wstring name;
    if (!ToWide(path, target)) return std::make_error_code(std::errc::invalid_argument);
    if (!SplitPath(target, folder, name)) return std::make_error_code(std::errc::is_a_directory);
    if (const std::error_code error = CheckWritable(target)) return error;

    RemoveStaleSaveTemps(folder);
    SaveTemp temp(folder);
    if (temp.Error()) return temp.Error();
    if (!WriteAll(temp.Handle(), bytes) || !::FlushFileBuffers(temp.Handle())) return LastError();
    return temp.RenameTo(target);
}

}  // namespace platform
