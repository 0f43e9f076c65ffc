#include "platform/win32/form_window.h"

#include <algorithm>

#include "platform/forms/command_button.h"
#include "platform/forms/label.h"
#include "platform/forms/picture_box.h"
#include "platform/win32/dib_drawing.h"
#include "platform/win32/window_text.h"

namespace platform::win32 {

namespace {

::HINSTANCE Instance() {
    return ::GetModuleHandleW(nullptr);
}

// Both frames are fixed: the user cannot resize the window. Only the close button, unless the
// form asks for the others.
DWORD StyleFor(const Form& form) {
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    style |= form.GetBorderStyle() == BorderStyle::FixedDialog ? WS_POPUP : WS_OVERLAPPED;
    if (form.MinButton()) style |= WS_MINIMIZEBOX;
    if (form.MaxButton()) style |= WS_MAXIMIZEBOX;
    return style;
}

DWORD ExtendedStyleFor(const Form& form) {
    DWORD style = 0;
    if (form.GetBorderStyle() == BorderStyle::FixedDialog) style |= WS_EX_DLGMODALFRAME;
    if (form.ShowInTaskbar()) style |= WS_EX_APPWINDOW;
    return style;
}

}  // namespace

void FormWindow::Register(::HINSTANCE instance) {
    ::WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &FormWindow::Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    ::RegisterClassExW(&windowClass);  // already there for a second runtime: no matter
}

FormWindow::FormWindow(Form& form, ::HWND owner) : m_form(&form) {
    if (!form.Menus().empty()) m_menu = std::make_unique<MenuBar>(form.Menus());
    ::CreateWindowExW(ExtendedStyleFor(form), kClassName, WideText(form.Caption()).c_str(),
                      StyleFor(form), CW_USEDEFAULT, CW_USEDEFAULT, 100, 100,
                      form.ShowInTaskbar() ? nullptr : owner, m_menu ? m_menu->Build() : nullptr,
                      Instance(), this);
    m_worker.SetTarget(m_window, kOverviewReady);
    m_toolTips =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr, Instance(), nullptr);
    BuildControls();
    if (m_menu) {
        for (MenuItem* menu : form.Menus()) ObserveMenus(*menu);
    }
    // Whether drops are taken is decided per drop, but only a form that takes them asks.
    ::DragAcceptFiles(m_window, form.FileDropped ? TRUE : FALSE);
    Observe(form, [this] { SyncForm(); });
    SyncForm();
}

FormWindow::~FormWindow() {
    m_alive.reset();
    if (m_window) {
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        ::DestroyWindow(m_window);  // its children and tooltips with it
    }
    if (m_icon) ::DestroyIcon(m_icon);
}

void FormWindow::Detach() {
    m_alive.reset();
    m_form = nullptr;
    for (auto& pane : m_panes) pane->Detach();
}

void FormWindow::BuildControls() {
    std::vector<std::pair<int, ::HWND>> tabOrder;
    std::vector<::HWND> created;
    for (Control* control : m_form->Controls()) {
        if (auto* pane = dynamic_cast<PictureBox*>(control)) {
            auto& view = m_panes.emplace_back(std::make_unique<PictureBoxWindow>(
                *pane, m_window, [this] { return TakesInput(); }));
            PictureBoxWindow* window = view.get();
            AddToolTip(window->Handle());
            Observe(*pane, [this, window] {
                window->Sync();
                SyncToolTip(window->Handle(), window->Model()->ToolTipText());
            });
            SyncToolTip(window->Handle(), pane->ToolTipText());
            tabOrder.emplace_back(pane->TabIndex(), window->Handle());
            created.push_back(window->Handle());
        } else if (auto* button = dynamic_cast<CommandButton*>(control)) {
            AddButton(*button);
            tabOrder.emplace_back(button->TabIndex(), m_buttons.back().window);
            created.push_back(m_buttons.back().window);
        } else if (auto* label = dynamic_cast<Label*>(control)) {
            AddLabel(*label);
            created.push_back(m_labels.back()->window);
        } else {
            // Image controls and lines are drawn by the client area itself.
            Observe(*control, [this] { ::InvalidateRect(m_window, nullptr, FALSE); });
        }
    }
    // Later controls lie on top of earlier ones.
    for (::HWND window : created) {
        ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    std::stable_sort(tabOrder.begin(), tabOrder.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [index, window] : tabOrder) m_tabOrder.push_back(window);
}

void FormWindow::AddButton(CommandButton& button) {
    const auto id = static_cast<std::uintptr_t>(1000 + m_buttons.size());
    ::HWND window = ::CreateWindowExW(
        0, L"BUTTON", L"",
        WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS |
            static_cast<DWORD>(button.Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
        0, 0, 0, 0, m_window, reinterpret_cast<::HMENU>(id), Instance(), nullptr);
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(Font{})), FALSE);
    AddToolTip(window);
    m_buttons.push_back({&button, window});
    const std::size_t index = m_buttons.size() - 1;
    Observe(button, [this, index] { SyncButton(m_buttons[index]); });
    SyncButton(m_buttons[index]);
}

void FormWindow::AddLabel(Label& label) {
    ::HWND window =
        ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_CLIPSIBLINGS | SS_LEFT | SS_NOPREFIX, 0,
                          0, 0, 0, m_window, nullptr, Instance(), nullptr);
    AddToolTip(window);
    LabelView* view = m_labels.emplace_back(std::make_unique<LabelView>()).get();
    view->model = &label;
    view->window = window;
    Observe(label, [this, view] { SyncLabel(*view); });
    SyncLabel(*view);
}

void FormWindow::SyncButton(ButtonView& view) {
    const CommandButton& button = *view.model;
    ::SetWindowTextW(view.window, WideText(button.Caption()).c_str());
    ::SetWindowPos(view.window, nullptr, button.Left(), button.Top(), button.Width(),
                   button.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    ::EnableWindow(view.window, button.Enabled() ? TRUE : FALSE);
    ::SendMessageW(view.window, BM_SETSTYLE,
                   static_cast<WPARAM>(button.Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), TRUE);
    ::ShowWindow(view.window, button.Visible() ? SW_SHOWNA : SW_HIDE);
    SyncToolTip(view.window, button.ToolTipText());
}

void FormWindow::SyncLabel(LabelView& view) {
    const Label& label = *view.model;
    ::SetWindowTextW(view.window, WideText(label.Caption()).c_str());
    ::SendMessageW(view.window, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(label.Font())), FALSE);
    view.background.Reset(::CreateSolidBrush(NativeColour(label.BackColor())));
    ::SetWindowPos(view.window, nullptr, label.Left(), label.Top(), label.Width(), label.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(view.window, label.Visible() ? SW_SHOWNA : SW_HIDE);
    ::InvalidateRect(view.window, nullptr, TRUE);
    SyncToolTip(view.window, label.ToolTipText());
}

void FormWindow::AddToolTip(::HWND control) {
    ::TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;  // the common controls of any version take it
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_window;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(m_toolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void FormWindow::SyncToolTip(::HWND control, const std::string& text) {
    std::wstring wide = WideText(text);
    ::TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = m_window;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    // An empty text shows no tip.
    tool.lpszText = wide.data();
    ::SendMessageW(m_toolTips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void FormWindow::ObserveMenus(MenuItem& item) {
    Observe(item, [this] { RebuildMenu(); });
    for (MenuItem* child : item.Children()) ObserveMenus(*child);
}

void FormWindow::RebuildMenu() {
    // Rebuilt whole: captions, checks, enabled and visible states all come from the items.
    ::HMENU old = ::GetMenu(m_window);
    ::SetMenu(m_window, m_menu->Build());
    if (old) ::DestroyMenu(old);
    ::DrawMenuBar(m_window);
}

::HFONT FormWindow::FontFor(const Font& font) {
    for (auto& [made, handle] : m_fonts) {
        if (made == font) return handle->Get();
    }
    auto& added =
        m_fonts.emplace_back(font, std::make_unique<GdiObject<::HFONT>>(CreateFormFont(font)));
    return added.second->Get();
}

void FormWindow::SyncForm() {
    ::SetWindowTextW(m_window, WideText(m_form->Caption()).c_str());
    m_background.Reset(::CreateSolidBrush(NativeColour(m_form->BackColor())));
    // EnableWindow: a disabled window takes no input and is drawn as it was.
    ::EnableWindow(m_window, m_form->Enabled() ? TRUE : FALSE);
    const Picture icon = m_form->Icon();
    ::HICON made =
        icon.IsEmpty() ? nullptr : CreateWindowIcon(icon.Overview(icon.Width(), icon.Height()));
    ::SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(made));
    ::SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(made));
    if (m_icon) ::DestroyIcon(m_icon);
    m_icon = made;
    FitClientArea();
    ::InvalidateRect(m_window, nullptr, FALSE);
}

void FormWindow::FitClientArea() {
    ::RECT client{};
    ::GetClientRect(m_window, &client);
    if (client.right == m_form->ClientWidth() && client.bottom == m_form->ClientHeight()) return;
    ::RECT outer{0, 0, m_form->ClientWidth(), m_form->ClientHeight()};
    ::AdjustWindowRectEx(&outer, static_cast<DWORD>(::GetWindowLongPtrW(m_window, GWL_STYLE)),
                         m_menu ? TRUE : FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(m_window, GWL_EXSTYLE)));
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    ::SetWindowPos(m_window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                   flags);
    // A menu bar that wraps onto a second line takes more than the estimate: measure and
    // make up the difference.
    ::GetClientRect(m_window, &client);
    const int wider = m_form->ClientWidth() - client.right;
    const int taller = m_form->ClientHeight() - client.bottom;
    if (wider == 0 && taller == 0) return;
    ::RECT window{};
    ::GetWindowRect(m_window, &window);
    ::SetWindowPos(m_window, nullptr, 0, 0, window.right - window.left + wider,
                   window.bottom - window.top + taller, flags);
}

void FormWindow::PlaceOnScreen() {
    if (!m_form) return;
    FitClientArea();
    ::RECT window{};
    ::GetWindowRect(m_window, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    if (m_form->GetStartUpPosition() == StartUpPosition::CenterScreen) {
        ::RECT area{0, 0, 800, 600};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        ::SetWindowPos(m_window, nullptr, area.left + (area.right - area.left - width) / 2,
                       area.top + (area.bottom - area.top - height) / 2, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    // The client area's top-left corner goes where the form says.
    ::POINT origin{0, 0};
    ::ClientToScreen(m_window, &origin);
    ::SetWindowPos(m_window, nullptr, m_form->ClientLeft() - (origin.x - window.left),
                   m_form->ClientTop() - (origin.y - window.top), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK FormWindow::Procedure(::HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<FormWindow*>(reinterpret_cast<::CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        self->m_window = nullptr;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT FormWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            PaintSurface();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel
        case WM_CTLCOLORSTATIC:
            for (auto& label : m_labels) {
                if (label->window != reinterpret_cast<::HWND>(lParam)) continue;
                auto* dc = reinterpret_cast<::HDC>(wParam);
                ::SetTextColor(dc, NativeColour(label->model->ForeColor()));
                ::SetBkColor(dc, NativeColour(label->model->BackColor()));
                return reinterpret_cast<LRESULT>(label->background.Get());
            }
            return reinterpret_cast<LRESULT>(m_background.Get());
        case WM_CTLCOLORBTN:
            return reinterpret_cast<LRESULT>(m_background.Get());
        case WM_COMMAND:
            OnCommand(wParam, lParam);
            return 0;
        case WM_CLOSE:
            // The form decides: its close sequence may cancel, and if it unloads, the runtime
            // takes the window away. A disabled window ignores its close button.
            if (TakesInput()) m_form->RequestClose(vbFormControlMenu);
            return 0;
        case WM_DROPFILES:
            OnDrop(reinterpret_cast<::HDROP>(wParam));
            return 0;
        case kOverviewReady:
            m_worker.DeliverFinished();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                ::HWND focus = ::GetFocus();
                if (focus && ::IsChild(m_window, focus)) m_lastFocus = focus;
            } else {
                FocusFirst();
            }
            return 0;
        case WM_SETFOCUS:
            FocusFirst();
            return 0;
        default:
            return ::DefWindowProcW(m_window, message, wParam, lParam);
    }
}

}  // namespace platform::win32
