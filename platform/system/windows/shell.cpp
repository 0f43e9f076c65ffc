#include "platform/system/shell.h"

#include <windows.h>

#include "platform/platform_error.h"
#include "platform/wide_text.h"

namespace platform {

namespace {

// The window style as the started program is asked to show itself; -1 for no style.
int ShowCommand(int style) {
    switch (style) {
        case vbHide:
            return SW_HIDE;
        case vbNormalFocus:
            return SW_SHOWNORMAL;
        case vbMinimizedFocus:
            return SW_SHOWMINIMIZED;
        case vbMaximizedFocus:
            return SW_SHOWMAXIMIZED;
        case vbNormalNoFocus:
            return SW_SHOWNOACTIVATE;
        case vbMinimizedNoFocus:
            return SW_SHOWMINNOACTIVE;
        default:
            return -1;
    }
}

}  // namespace

double ProcessShell::Shell(const std::string& path, int windowStyle) {
    const int show = ShowCommand(windowStyle);
    if (path.empty() || show < 0) throw PlatformError(ErrorNumber::InvalidProcedureCall);
    std::wstring program;
    if (!ToWide(path, program)) throw PlatformError(ErrorNumber::FileNotFound);
    // The whole path names the program, quoted so that no argument is split off it; a bare
    // name is looked for where the system looks, PATH included.
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                          CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &started)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_NOT_ENOUGH_MEMORY || error == ERROR_OUTOFMEMORY) {
            throw PlatformError(ErrorNumber::OutOfMemory);
        }
        throw PlatformError(ErrorNumber::FileNotFound);
    }
    // Not waited for: the handles go, the program runs on.
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return static_cast<double>(started.dwProcessId);
}

}  // namespace platform
