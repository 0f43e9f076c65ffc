// What the user's keys, clicks and drops do in a form window.
#include <algorithm>
#include <cwctype>
#include <string>

#include "platform/forms/command_button.h"
#include "platform/wide_text.h"
#include "platform/win32/form_window.h"

namespace platform::win32 {

namespace {

bool Usable(::HWND window) {
    return ::IsWindowVisible(window) && ::IsWindowEnabled(window);
}

bool Held(int key) {
    return (::GetKeyState(key) & 0x8000) != 0;
}

}  // namespace

void FormWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (!TakesInput()) return;
    if (lParam != 0) {
        if (HIWORD(wParam) != BN_CLICKED) return;
        for (const ButtonView& view : m_buttons) {
            if (view.window != reinterpret_cast<::HWND>(lParam)) continue;
            if (view.model->Enabled() && view.model->Click) view.model->Click();
            return;
        }
        return;
    }
    // A menu item (0) or an accelerator (1).
    MenuItem* item = m_menu ? m_menu->ItemFor(LOWORD(wParam)) : nullptr;
    if (item && item->Enabled() && item->Click) item->Click();
}

void FormWindow::OnDrop(::HDROP drop) {
    // One file only, by its full path.
    std::wstring path;
    if (::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 1) {
        const UINT length = ::DragQueryFileW(drop, 0, nullptr, 0);
        path.resize(length + 1);
        path.resize(::DragQueryFileW(drop, 0, path.data(), length + 1));
    }
    ::DragFinish(drop);
    if (path.empty() || !TakesInput() || !m_form->FileDropped) return;
    m_form->FileDropped(ToUtf8(path));
}

void FormWindow::FocusFirst() {
    if (m_lastFocus && ::IsWindow(m_lastFocus) && Usable(m_lastFocus)) {
        ::SetFocus(m_lastFocus);
        return;
    }
    const auto first = std::find_if(m_tabOrder.begin(), m_tabOrder.end(), Usable);
    if (first != m_tabOrder.end()) ::SetFocus(*first);
}

void FormWindow::MoveFocus(bool backwards) {
    if (m_tabOrder.empty()) return;
    const auto count = static_cast<std::ptrdiff_t>(m_tabOrder.size());
    const auto found = std::find(m_tabOrder.begin(), m_tabOrder.end(), ::GetFocus());
    std::ptrdiff_t at =
        found == m_tabOrder.end() ? (backwards ? 0 : -1) : std::distance(m_tabOrder.begin(), found);
    for (std::ptrdiff_t step = 0; step < count; ++step) {
        at = (at + (backwards ? count - 1 : 1)) % count;
        ::HWND next = m_tabOrder[static_cast<std::size_t>(at)];
        if (!Usable(next)) continue;
        // From now on focus is shown, as the system's dialogs show it after a Tab.
        ::SendMessageW(m_window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        ::SetFocus(next);
        m_lastFocus = next;
        return;
    }
}

void FormWindow::Click(::HWND button) {
    ::SendMessageW(button, BM_CLICK, 0, 0);
}

bool FormWindow::PressButton(bool (CommandButton::*role)() const) {
    for (const ButtonView& view : m_buttons) {
        if ((view.model->*role)() && Usable(view.window)) {
            Click(view.window);
            return true;
        }
    }
    return false;
}

bool FormWindow::PressAccessKey(wchar_t key) {
    for (const ButtonView& view : m_buttons) {
        const std::string& caption = view.model->Caption();
        const std::size_t mark = caption.find('&');
        if (mark == std::string::npos || mark + 1 >= caption.size()) continue;
        const auto letter = static_cast<wchar_t>(static_cast<unsigned char>(caption[mark + 1]));
        if (std::towupper(letter) != std::towupper(key) || !Usable(view.window)) continue;
        ::SetFocus(view.window);
        Click(view.window);
        return true;
    }
    return false;
}

bool FormWindow::PreTranslate(const ::MSG& message) {
    const bool keyboard = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
    if (!keyboard) return false;
    // A disabled window gets no keys from the system; any sent to it anyway are dropped too.
    if (!TakesInput()) return true;
    ::MSG copy = message;
    if (m_menu && m_menu->Accelerators() &&
        ::TranslateAcceleratorW(m_window, m_menu->Accelerators(), &copy)) {
        return true;
    }
    if (message.message == WM_SYSCHAR) {
        return PressAccessKey(static_cast<wchar_t>(message.wParam));
    }
    if (message.message != WM_KEYDOWN || Held(VK_CONTROL) || Held(VK_MENU)) return false;
    switch (message.wParam) {
        case VK_TAB:
            MoveFocus(Held(VK_SHIFT));
            return true;
        case VK_RETURN: {
            // Enter presses the focused button, otherwise the default one.
            ::HWND focus = ::GetFocus();
            for (const ButtonView& view : m_buttons) {
                if (view.window == focus) {
                    Click(focus);
                    return true;
                }
            }
            return PressButton(&CommandButton::Default);
        }
        case VK_ESCAPE:
            return PressButton(&CommandButton::Cancel);
        default:
            return false;
    }
}

}  // namespace platform::win32
