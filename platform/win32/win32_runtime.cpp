#include "platform/win32/win32_runtime.h"

#include "platform/win32/form_window.h"

namespace platform::win32 {

namespace {

constexpr const wchar_t* kTaskClass = L"ZentrovaTasks";
constexpr UINT kRunTasks = WM_APP + 2;

}  // namespace

Win32Runtime::Win32Runtime() {
    ::HINSTANCE instance = ::GetModuleHandleW(nullptr);
    ::INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    FormWindow::Register(instance);
    PictureBoxWindow::Register(instance);
    ::WNDCLASSEXW tasks{};
    tasks.cbSize = sizeof(tasks);
    tasks.lpfnWndProc = &Win32Runtime::TaskProcedure;
    tasks.hInstance = instance;
    tasks.lpszClassName = kTaskClass;
    ::RegisterClassExW(&tasks);
    m_tasks = ::CreateWindowExW(0, kTaskClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                                nullptr);
    ::SetWindowLongPtrW(m_tasks, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_owner = ::CreateWindowExW(0, kTaskClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                instance, nullptr);
}

Win32Runtime::~Win32Runtime() {
    for (auto& [form, window] : m_windows) window->Detach();
    m_windows.clear();
    m_closed.clear();
    if (m_owner) ::DestroyWindow(m_owner);
    if (m_tasks) {
        ::SetWindowLongPtrW(m_tasks, GWLP_USERDATA, 0);
        ::DestroyWindow(m_tasks);
    }
}

LRESULT CALLBACK Win32Runtime::TaskProcedure(::HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    auto* self = reinterpret_cast<Win32Runtime*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == kRunTasks && self) {
        self->RunTasks();
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void Win32Runtime::Post(std::function<void()> task) {
    m_queue.push_back(std::move(task));
    ::PostMessageW(m_tasks, kRunTasks, 0, 0);
}

void Win32Runtime::RunTasks() {
    while (!m_queue.empty() && !m_ended) {
        std::function<void()> task = std::move(m_queue.front());
        m_queue.pop_front();
        task();
    }
}

FormWindow* Win32Runtime::WindowFor(::HWND window) const {
    if (!window) return nullptr;
    ::HWND root = ::GetAncestor(window, GA_ROOT);
    for (const auto& [form, shown] : m_windows) {
        if (shown->Handle() == root) return shown.get();
    }
    return nullptr;
}

::HWND Win32Runtime::WindowOf(const Form& form) const {
    const auto found = m_windows.find(&form);
    return found == m_windows.end() ? nullptr : found->second->Handle();
}

void Win32Runtime::Dispatch(::MSG& message) {
    ++m_depth;
    FormWindow* window = WindowFor(message.hwnd);
    if (!window || !window->PreTranslate(message)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    --m_depth;
    // Back at the top: no handler of a closed window is running any more.
    if (m_depth == 0) m_closed.clear();
}

void Win32Runtime::ProcessMessages() {
    ::MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) break;
        Dispatch(message);
    }
    if (m_depth == 0) m_closed.clear();
}

int Win32Runtime::Run(Form& startup) {
    startup.Show();
    m_running = true;
    ::MSG message{};
    while (!m_ended && !m_windows.empty() && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        Dispatch(message);
    }
    m_running = false;
    return 0;
}

void Win32Runtime::ShowForm(Form& form) {
    if (m_ended) return;
    std::unique_ptr<FormWindow>& window = m_windows[&form];
    if (!window) {
        window = std::make_unique<FormWindow>(form, m_owner);
        window->PlaceOnScreen();
    }
    ::ShowWindow(window->Handle(), SW_SHOW);
    ::SetForegroundWindow(window->Handle());
    ::SetActiveWindow(window->Handle());
}

void Win32Runtime::Retire(std::unique_ptr<FormWindow> window) {
    window->Detach();
    // The window goes from the screen now; the object when no handler of it runs any more.
    ::DestroyWindow(window->Handle());
    m_closed.push_back(std::move(window));
}

void Win32Runtime::CloseForm(Form& form) {
    auto found = m_windows.find(&form);
    if (found == m_windows.end()) return;
    std::unique_ptr<FormWindow> window = std::move(found->second);
    m_windows.erase(found);
    Retire(std::move(window));
    // Wake the loop, which ends once the last window has gone.
    if (m_windows.empty()) ::PostMessageW(m_tasks, WM_NULL, 0, 0);
}

void Win32Runtime::End() {
    if (m_ended) return;
    m_ended = true;
    auto windows = std::move(m_windows);
    m_windows.clear();
    for (auto& [form, window] : windows) Retire(std::move(window));
    ::PostMessageW(m_tasks, WM_NULL, 0, 0);
}

}  // namespace platform::win32
