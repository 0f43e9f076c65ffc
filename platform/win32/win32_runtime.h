#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/forms/form.h"
#include "platform/forms/form_runtime.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

class FormWindow;

// Shows forms as Win32 windows and runs their message loop on the thread that made it. main()
// creates the runtime, then the forms (which must go before the runtime does).
class Win32Runtime : public FormRuntime {
  public:
    Win32Runtime();
    ~Win32Runtime() override;
    Win32Runtime(const Win32Runtime&) = delete;
    Win32Runtime& operator=(const Win32Runtime&) = delete;

    // Shows the start-up form (its Form_Load runs first) and runs the message loop until the
    // last window has gone or End is called. Returns the exit code.
    int Run(Form& startup);
    // Runs `task` from the message loop, after the messages already waiting.
    void Post(std::function<void()> task);
    // Handles every message waiting now, as the loop does; for tests, which drive the windows
    // by posting what a user's keys and clicks would.
    void ProcessMessages();

    // The window a form is shown in, or null.
    ::HWND WindowOf(const Form& form) const;

    void ShowForm(Form& form) override;
    void CloseForm(Form& form) override;
    void End() override;
    bool Ended() const override { return m_ended; }

  private:
    static LRESULT CALLBACK TaskProcedure(::HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam);
    void Dispatch(::MSG& message);
    void RunTasks();
    void Retire(std::unique_ptr<FormWindow> window);
    FormWindow* WindowFor(::HWND window) const;

    std::map<const Form*, std::unique_ptr<FormWindow>> m_windows;
    // Windows that went while a handler of theirs may still be running: deleted once the loop
    // is back at its top.
    std::vector<std::unique_ptr<FormWindow>> m_closed;
    // The hidden owner that keeps a form without a taskbar button out of the taskbar.
    ::HWND m_owner = nullptr;
    // A message-only window that runs posted tasks.
    ::HWND m_tasks = nullptr;
    std::deque<std::function<void()>> m_queue;
    int m_depth = 0;
    bool m_running = false;
    bool m_ended = false;
};

}  // namespace platform::win32
