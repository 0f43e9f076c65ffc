#include "platform/win32/file_dialogs.h"

#include <algorithm>
#include <vector>

#include "platform/win32/window_text.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

namespace {

// Room for the longest path the system's wide calls take.
constexpr std::size_t kNameRoom = 32768;

}  // namespace

std::wstring Win32FileDialogs::NativeFilter(const std::string& filter) {
    std::wstring native = WideText(filter);
    if (native.empty()) return native;
    std::replace(native.begin(), native.end(), L'|', L'\0');
    native.push_back(L'\0');
    native.push_back(L'\0');
    return native;
}

std::optional<std::string> Win32FileDialogs::Show(const FileDialogRequest& request) {
    const std::wstring filter = NativeFilter(request.filter);
    const std::wstring title = WideText(request.title);
    // The dialog starts in the folder of the name it is given, with that name in its box.
    std::vector<wchar_t> name(kNameRoom, L'\0');
    const std::wstring start = WideText(request.fileName);
    std::copy_n(start.begin(), std::min(start.size(), kNameRoom - 1), name.begin());

    ::OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = ::GetActiveWindow();
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    // No OFN_FILEMUSTEXIST and no OFN_OVERWRITEPROMPT: see the class. The current folder is
    // left as it was, and the read-only box is not offered.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    const bool chosen = request.mode == FileDialogMode::Save ? ::GetSaveFileNameW(&dialog)
                                                             : ::GetOpenFileNameW(&dialog);
    if (!chosen && ::CommDlgExtendedError() == FNERR_INVALIDFILENAME) {
        // The name kept from the last use is one the dialog refuses to start with: start
        // without it rather than not at all.
        std::fill(name.begin(), name.end(), L'\0');
        const bool again = request.mode == FileDialogMode::Save ? ::GetSaveFileNameW(&dialog)
                                                                : ::GetOpenFileNameW(&dialog);
        if (!again) return std::nullopt;
    } else if (!chosen) {
        return std::nullopt;
    }
    return ToUtf8(std::wstring(name.data()));
}

}  // namespace platform::win32
