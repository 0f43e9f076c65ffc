#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "main_window/frm_main.h"
#include "platform/win32/win32_runtime.h"
#include "platform/win32/windows_api.h"
#include "tests/support/form_services.h"
#include "tests/support/test_files.h"

namespace test_support {

// The main window as real Win32 windows over scripted services. The test drives it as a user
// does, by posting the messages keys and clicks make, and lets the runtime handle them.
class Win32MainWindowTest : public ::testing::Test,
                            public FormServices<platform::win32::Win32Runtime> {
  protected:
    ~Win32MainWindowTest() override {
        if (form.IsLoaded() && !runtime.Ended()) runtime.End();
        runtime.ProcessMessages();
    }

    // Handles messages until `done` holds, for at most five seconds.
    template <typename Condition>
    bool PumpUntil(Condition done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        for (;;) {
            runtime.ProcessMessages();
            if (done()) return true;
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    // Handles messages for a while, for what follows a message to happen.
    void Pump(int milliseconds = 100) {
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        PumpUntil([&] { return std::chrono::steady_clock::now() > until; });
    }

    ::HWND ShowMain() {
        form.Show();
        Pump();
        return runtime.WindowOf(form);
    }

    // A key pressed and let go in `window`, with Ctrl held when asked.
    void PressKey(::HWND window, WPARAM key, bool control = false) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        if (control) keys[VK_CONTROL] = 0x80;
        ::SetKeyboardState(keys);
        ::PostMessageW(window, WM_KEYDOWN, key, 1);
        ::PostMessageW(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
        Pump();
        keys[VK_CONTROL] = 0;
        ::SetKeyboardState(keys);
    }

    // A left click at (x, y) of the window's client area.
    void Click(::HWND window, int x, int y) {
        ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        Pump();
    }

    TempDir dir;
    zentrova::frmMain form{services};
};

inline ::SIZE ClientSize(::HWND window) {
    ::RECT client{};
    ::GetClientRect(window, &client);
    return {client.right, client.bottom};
}

inline std::wstring WindowText(::HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

inline std::wstring MenuText(::HMENU menu, UINT position) {
    wchar_t text[256] = {};
    ::GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return text;
}

// The child window of `parent` whose text is `text`.
inline ::HWND ChildWithText(::HWND parent, const std::wstring& text) {
    ::HWND child = ::GetWindow(parent, GW_CHILD);
    while (child && WindowText(child) != text) child = ::GetWindow(child, GW_HWNDNEXT);
    return child;
}

}  // namespace test_support
