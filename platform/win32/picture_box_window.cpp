#include "platform/win32/picture_box_window.h"

#include <algorithm>

#include "platform/win32/dib_drawing.h"
#include "platform/win32/fixed_look.h"

namespace platform::win32 {

void PictureBoxWindow::Register(::HINSTANCE instance) {
    ::WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &PictureBoxWindow::Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    ::RegisterClassExW(&windowClass);  // already there for a second runtime: no matter
}

PictureBoxWindow::PictureBoxWindow(PictureBox& model, ::HWND parent,
                                   std::function<bool()> takesInput)
    : m_model(&model), m_takesInput(std::move(takesInput)) {
    // A picture box is a tab stop, and a click gives it the focus too.
    ::CreateWindowExW(WS_EX_CLIENTEDGE, kClassName, L"", WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS,
                      model.Left(), model.Top(), model.Width(), model.Height(), parent, nullptr,
                      reinterpret_cast<::HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                      this);
    Sync();
}

PictureBoxWindow::~PictureBoxWindow() {
    if (m_window) {
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        ::DestroyWindow(m_window);
    }
}

void PictureBoxWindow::Sync() {
    if (!m_model || !m_window) return;
    ::SetWindowPos(m_window, nullptr, m_model->Left(), m_model->Top(), m_model->Width(),
                   m_model->Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(m_window, m_model->Visible() ? SW_SHOWNA : SW_HIDE);
    // Only schedule: the model composes what it shows when the paint asks, after the handler
    // that changed it has finished resizing it.
    m_modelAsked = true;
    ::InvalidateRect(m_window, nullptr, FALSE);
}

LRESULT CALLBACK PictureBoxWindow::Procedure(::HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<PictureBoxWindow*>(
            reinterpret_cast<::CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<PictureBoxWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        self->m_window = nullptr;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT PictureBoxWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel
        case WM_NCPAINT: {
            const LRESULT result = ::DefWindowProcW(m_window, message, wParam, lParam);
            PaintFocusMark();
            return result;
        }
        case WM_NCHITTEST:
            // The border is part of the pane for clicks, as in the other front end.
            return HTCLIENT;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE: {
            const LRESULT result = ::DefWindowProcW(m_window, message, wParam, lParam);
            ::RedrawWindow(m_window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE);
            m_modelAsked = true;  // not the window system's repaint: what was drawn stays
            return result;
        }
        case WM_LBUTTONDOWN:
            if (m_takesInput && m_takesInput()) {
                ::SetFocus(m_window);
                ::SetCapture(m_window);
                m_pressed = true;
            }
            return 0;
        case WM_LBUTTONUP:
            Release(lParam);
            return 0;
        case WM_CAPTURECHANGED:
            m_pressed = false;
            return 0;
        default:
            return ::DefWindowProcW(m_window, message, wParam, lParam);
    }
}

void PictureBoxWindow::Release(LPARAM lParam) {
    const bool pressed = m_pressed;
    m_pressed = false;
    if (::GetCapture() == m_window) ::ReleaseCapture();
    if (!pressed || !m_model || !m_takesInput || !m_takesInput()) return;
    // Inside the pane, border included: client coordinates start inside the border.
    const int x = static_cast<short>(LOWORD(lParam)) + PictureBox::kBorder;
    const int y = static_cast<short>(HIWORD(lParam)) + PictureBox::kBorder;
    if (x < 0 || y < 0 || x >= m_model->Width() || y >= m_model->Height()) return;
    if (m_model->Click) m_model->Click();
}

void PictureBoxWindow::Paint() {
    ::PAINTSTRUCT paint{};
    ::HDC dc = ::BeginPaint(m_window, &paint);
    if (m_model) {
        // A paint the model did not ask for is the window system's: uncovered, exposed.
        if (!m_modelAsked) m_model->WindowRepaint();
        m_modelAsked = false;
        // Only the part being painted: a pane grown to a huge picture shows little of it.
        const int left = std::clamp<int>(paint.rcPaint.left, 0, m_model->InnerWidth());
        const int top = std::clamp<int>(paint.rcPaint.top, 0, m_model->InnerHeight());
        const int right = std::clamp<int>(paint.rcPaint.right, left, m_model->InnerWidth());
        const int bottom = std::clamp<int>(paint.rcPaint.bottom, top, m_model->InnerHeight());
        if (right > left && bottom > top) {
            DrawBitmap(dc, left, top, m_model->ShownPart(left, top, right - left, bottom - top),
                       NativeColour(m_model->BackColor()));
        }
    }
    ::EndPaint(m_window, &paint);
}

bool PictureBoxWindow::ShowsFocusMark() const {
    if (::GetFocus() != m_window) return false;
    // Once the keyboard has moved the focus, as the system's own controls show it.
    const auto state = static_cast<WORD>(::SendMessageW(m_window, WM_QUERYUISTATE, 0, 0));
    return (state & UISF_HIDEFOCUS) == 0;
}

void PictureBoxWindow::PaintFocusMark() {
    if (!ShowsFocusMark()) return;
    // A dotted frame on the border's inner ring, so the picture keeps every pixel.
    ::RECT frame{};
    ::GetWindowRect(m_window, &frame);
    ::OffsetRect(&frame, -frame.left, -frame.top);
    ::InflateRect(&frame, -1, -1);
    ::HDC dc = ::GetWindowDC(m_window);
    ::DrawFocusRect(dc, &frame);
    ::ReleaseDC(m_window, dc);
}

}  // namespace platform::win32
