#pragma once

#include <functional>

#include "platform/forms/picture_box.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

// A picture pane as a child window: the system's 2-pixel sunken edge (WS_EX_CLIENTEDGE) around
// a client area that shows what the model shows. A click raises the model's Click while
// `takesInput` says the form takes input.
class PictureBoxWindow {
  public:
    static constexpr const wchar_t* kClassName = L"ZentrovaPictureBox";
    static void Register(::HINSTANCE instance);

    PictureBoxWindow(PictureBox& model, ::HWND parent, std::function<bool()> takesInput);
    ~PictureBoxWindow();
    PictureBoxWindow(const PictureBoxWindow&) = delete;
    PictureBoxWindow& operator=(const PictureBoxWindow&) = delete;

    ::HWND Handle() const { return m_window; }
    PictureBox* Model() const { return m_model; }
    // Re-reads geometry and visibility, and repaints later.
    void Sync();
    // The form goes: nothing may reach the model any more.
    void Detach() { m_model = nullptr; }

  private:
    static LRESULT CALLBACK Procedure(::HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void PaintFocusMark();
    bool ShowsFocusMark() const;
    void Release(LPARAM lParam);

    PictureBox* m_model;
    std::function<bool()> m_takesInput;
    ::HWND m_window = nullptr;
    bool m_pressed = false;
    // A paint that the model did not ask for comes from the window system.
    bool m_modelAsked = true;
};

}  // namespace platform::win32
