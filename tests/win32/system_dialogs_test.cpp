// The system's own file dialogs and message boxes behind the services, answered by a helper
// thread as a user would: typing a name and pressing OK.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "platform/win32/file_dialogs.h"
#include "platform/win32/message_boxes.h"
#include "platform/win32/windows_api.h"
#include "tests/support/test_files.h"
#include "tests/win32/win32_fixture.h"

namespace test_support {
namespace {

// The system dialog titled `title`, waited for up to five seconds; null if none came.
::HWND WaitForDialog(const wchar_t* title) {
    for (int i = 0; i < 500; ++i) {
        if (::HWND dialog = ::FindWindowW(L"#32770", title)) return dialog;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return nullptr;
}

std::wstring ControlText(::HWND control) {
    wchar_t text[1024] = {};
    ::SendMessageW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

// Answers the next dialog titled `title` on another thread with `answer`, which returns once
// it has pressed a button; whatever is still up two seconds later is cancelled, so that a
// question the dialog should not have asked fails the test instead of hanging it.
class DialogAnswer {
  public:
    DialogAnswer(const wchar_t* title, std::function<void(::HWND)> answer)
        : m_thread([this, title, answer = std::move(answer)] {
              ::HWND dialog = WaitForDialog(title);
              if (!dialog) return;
              answer(dialog);
              for (int i = 0; i < 200 && ::IsWindow(dialog); ++i) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
              closedByAnswer = !::IsWindow(dialog);
              while (::HWND left = ::FindWindowW(L"#32770", nullptr)) {
                  ::EndDialog(left, IDCANCEL);
                  ::PostMessageW(left, WM_COMMAND, IDCANCEL, 0);
                  std::this_thread::sleep_for(std::chrono::milliseconds(100));
                  if (::FindWindowW(L"#32770", nullptr) == left) break;
              }
          }) {}
    ~DialogAnswer() {
        if (m_thread.joinable()) m_thread.join();
    }
    // Once the helper is done: whether the answer alone closed the dialog.
    bool ClosedByAnswer() {
        if (m_thread.joinable()) m_thread.join();
        return closedByAnswer;
    }

  private:
    bool closedByAnswer = false;
    std::thread m_thread;
};

// The file name box: a combo box on the system's dialogs, an edit box on some.
::HWND NameBox(::HWND dialog) {
    if (::HWND combo = ::GetDlgItem(dialog, cmb13)) return combo;
    return ::GetDlgItem(dialog, edt1);
}

void TypeAndAccept(::HWND dialog, const std::wstring& name) {
    ::SendMessageW(NameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

TEST(SystemFileDialogs, OpenGivesBackATypedNameThatDoesNotExistWithTitleFilterAndStart) {
    TempDir dir;
    const std::string missing = dir.File("nowhere.jpg");
    platform::win32::Win32FileDialogs dialogs;
    std::wstring started, firstType;
    std::optional<std::string> chosen;
    {
        DialogAnswer answer(L"Open...", [&](::HWND dialog) {
            started = ControlText(NameBox(dialog));
            wchar_t type[256] = {};
            ::SendMessageW(::GetDlgItem(dialog, cmb1), CB_GETLBTEXT, 0,
                           reinterpret_cast<LPARAM>(type));
            firstType = type;
            TypeAndAccept(dialog, std::filesystem::path(missing).wstring());
        });
        chosen = dialogs.Show({platform::FileDialogMode::Open, "Open...",
                               "All picture files (*.JPG)|*.JPG|All icon files (*.ICO)|*.ICO",
                               dir.File("start.jpg")});
        EXPECT_TRUE(answer.ClosedByAnswer());
    }
    EXPECT_EQ(chosen, missing);
    // The dialog started from the name it was given, and shows each type by its description.
    EXPECT_TRUE(started.ends_with(L"start.jpg")) << std::string(started.begin(), started.end());
    EXPECT_EQ(firstType, L"All picture files (*.JPG)");
}

TEST(SystemFileDialogs, SaveReplacesAnExistingFileWithoutAsking) {
    TempDir dir;
    const std::string existing = dir.File("there.ICO");
    WriteBytes(existing, {1, 2, 3});
    platform::win32::Win32FileDialogs dialogs;
    std::optional<std::string> chosen;
    {
        DialogAnswer answer(L"Save as...", [&](::HWND dialog) {
            TypeAndAccept(dialog, std::filesystem::path(existing).wstring());
        });
        chosen = dialogs.Show(
            {platform::FileDialogMode::Save, "Save as...", "All icon files (*.ICO)|*.ICO", ""});
        EXPECT_TRUE(answer.ClosedByAnswer());
    }
    EXPECT_EQ(chosen, existing);
}

TEST(SystemMessageBoxes, ShowTheTextAsItIsWithTheStylesIcon) {
    platform::win32::Win32MessageBoxes boxes;
    for (const auto& [style, icon] : {std::pair{16, IDI_HAND}, std::pair{48, IDI_EXCLAMATION}}) {
        std::wstring text;
        ::HICON shown = nullptr;
        int answer = 0;
        {
            DialogAnswer press(L"Error", [&](::HWND box) {
                text = ControlText(::GetDlgItem(box, 0xFFFF));
                // The icon's static control: 0x14 on the system's box, stc1 on some.
                ::HWND picture = ::GetDlgItem(box, 0x14);
                if (!picture) picture = ::GetDlgItem(box, stc1);
                shown = reinterpret_cast<::HICON>(::SendMessageW(picture, STM_GETICON, 0, 0));
                ::PostMessageW(box, WM_COMMAND, IDOK, 0);
            });
            answer = boxes.Show("File <b>C:\\x & y.jpg</b> does not exist!", style, "Error");
            EXPECT_TRUE(press.ClosedByAnswer());
        }
        EXPECT_EQ(answer, platform::vbOK);
        EXPECT_EQ(text, L"File <b>C:\\x & y.jpg</b> does not exist!");
        EXPECT_EQ(shown, ::LoadIconW(nullptr, icon)) << style;
    }
}

}  // namespace
}  // namespace test_support
