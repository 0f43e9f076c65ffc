// Zentrova.exe: starts the Win32 runtime with the main window as the start-up form. A file
// named on the command line, or dropped on the window, is opened as if chosen with File > Open.
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/open_from_desktop.h"
#include "app/write_signals.h"
#include "main_window/frm_main.h"
#include "platform/system/registry.h"
#include "platform/system/shell.h"
#include "platform/wide_text.h"
#include "platform/win32/file_dialogs.h"
#include "platform/win32/message_boxes.h"
#include "platform/win32/win32_runtime.h"
#include "platform/win32/windows_api.h"

namespace {

std::vector<std::string> Arguments() {
    std::vector<std::string> args;
    int count = 0;
    wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!words) return args;
    for (int i = 1; i < count; ++i) args.push_back(platform::ToUtf8(words[i]));
    ::LocalFree(words);
    return args;
}

bool WriteAll(::HANDLE handle, const std::string& text) {
    DWORD written = 0;
    return ::WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

// A window program has no console of its own. Its text goes to the standard handle it was
// given (a pipe, a file, or the terminal Wine was started from); failing that, to the console
// of the program that started it (cmd.exe); failing that, into a message box, so that a
// double-click on a shortcut with --help still shows something.
void Say(const std::string& text, bool error) {
    ::HANDLE given = ::GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (given && given != INVALID_HANDLE_VALUE && ::GetFileType(given) != FILE_TYPE_UNKNOWN &&
        WriteAll(given, text)) {
        return;
    }
    if (::AttachConsole(ATTACH_PARENT_PROCESS)) {
        ::HANDLE console = ::CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, 0, nullptr);
        std::string lines;
        for (char c : text) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
        const bool said = console != INVALID_HANDLE_VALUE && WriteAll(console, lines);
        if (console != INVALID_HANDLE_VALUE) ::CloseHandle(console);
        if (said) return;
    }
    std::wstring wide;
    if (!platform::ToWide(text, wide)) return;
    const long icon = error ? MB_ICONEXCLAMATION : MB_ICONINFORMATION;
    ::MessageBoxW(nullptr, wide.c_str(), L"Zentrova", static_cast<UINT>(MB_OK | icon));
}

int Answer(const zentrova::DesktopCommand& command) {
    switch (command.kind) {
        case zentrova::CommandKind::Help:
            Say(zentrova::DesktopUsage(), false);
            return 0;
        case zentrova::CommandKind::Version:
            Say("zentrova " + zentrova::ProgramVersion() + "\n", false);
            return 0;
        default:
            Say("zentrova: " + command.error + "\nTry 'zentrova --help' for more information.\n",
                true);
            return 2;
    }
}

}  // namespace

int WINAPI wWinMain(::HINSTANCE, ::HINSTANCE, PWSTR, int) {
    zentrova::TakeWriteSignalsAsFailures();
    const zentrova::DesktopCommand command = zentrova::ParseDesktopCommand(Arguments());
    if (command.kind != zentrova::CommandKind::Run) return Answer(command);

    platform::Gdi gdi;
    platform::win32::Win32FileDialogs systemFileDialogs;
    zentrova::PresetFileDialogs fileDialogs(systemFileDialogs);
    platform::win32::Win32MessageBoxes messageBoxes;
    platform::win32::Win32Runtime runtime;
    // The About box reads the system's own registry here.
    platform::Registry registry = platform::Registry::System();
    platform::ProcessShell shell;
    platform::Services services{gdi, fileDialogs, messageBoxes, runtime, registry, shell};

    zentrova::frmMain form(services);
    zentrova::OpenDroppedFiles(form, fileDialogs);
    if (command.file) {
        // Once the window is up, so that the dialogs have it as their owner.
        runtime.Post([&] { fileDialogs.OpenFile(form, *command.file); });
    }
    return runtime.Run(form);
}
