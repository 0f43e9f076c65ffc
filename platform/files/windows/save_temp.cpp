#include "platform/files/windows/save_temp.h"

#include <random>
#include <string_view>

#include "platform/files/windows/win32_error.h"

namespace platform {

namespace {

constexpr std::wstring_view kPrefix = L".zentrova-";
constexpr std::size_t kLetters = 6;
constexpr std::wstring_view kAlphabet =
    L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// Letters that another save choosing at the same moment is unlikely to choose; the exclusive
// creation settles any clash.
std::wstring RandomName(std::mt19937& random) {
    std::uniform_int_distribution<std::size_t> letter(0, kAlphabet.size() - 1);
    std::wstring name(kPrefix);
    for (std::size_t i = 0; i < kLetters; ++i) name += kAlphabet[letter(random)];
    return name;
}

// Names differ in letter case only on a file system that tells case apart, so the search
// below, which ignores case, is narrowed to the exact pattern here.
bool IsSaveTempName(std::wstring_view name) {
    if (name.size() != kPrefix.size() + kLetters || !name.starts_with(kPrefix)) return false;
    for (wchar_t c : name.substr(kPrefix.size())) {
        if (kAlphabet.find(c) == std::wstring_view::npos) return false;
    }
    return true;
}

// Removes the file only when no one has it open: opening it alone fails while a save, or
// anyone else, holds it.
void RemoveIfStale(const std::wstring& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    FILE_DISPOSITION_INFO removed{};
    removed.DeleteFile = TRUE;
    ::SetFileInformationByHandle(file, FileDispositionInfo, &removed, sizeof removed);
    ::CloseHandle(file);
}

}  // namespace

SaveTemp::SaveTemp(const std::wstring& folder) {
    std::mt19937 random(std::random_device{}());
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        m_path = folder + RandomName(random);
        // Shared for removal only, so that a rename may take it away while it is held.
        m_handle = ::CreateFileW(m_path.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_DELETE, nullptr,
                                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_handle != INVALID_HANDLE_VALUE) {
            m_named = true;
            return;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    m_error = LastError();
}

SaveTemp::~SaveTemp() {
    if (m_handle == INVALID_HANDLE_VALUE) return;
    if (m_named) {
        FILE_DISPOSITION_INFO removed{};
        removed.DeleteFile = TRUE;
        ::SetFileInformationByHandle(m_handle, FileDispositionInfo, &removed, sizeof removed);
    }
    ::CloseHandle(m_handle);
}

std::error_code SaveTemp::RenameTo(const std::wstring& target) {
    if (!::MoveFileExW(m_path.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return LastError();
    }
    m_named = false;
    return {};
}

void RemoveStaleSaveTemps(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileExW((folder + L".zentrova-*").c_str(), FindExInfoBasic,
                                             &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            IsSaveTempName(found.cFileName)) {
            RemoveIfStale(folder + found.cFileName);
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

}  // namespace platform
