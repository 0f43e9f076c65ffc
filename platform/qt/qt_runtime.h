#pragma once

#include <QPointer>
#include <map>
#include <vector>

#include "platform/forms/form.h"
#include "platform/forms/form_runtime.h"

namespace platform {

class FormWindow;

// Shows forms as Qt windows. main() creates the QApplication first, then the runtime, then
// the forms (which must go before the runtime does); constructing the runtime gives the
// application its fixed look.
class QtRuntime : public FormRuntime {
  public:
    QtRuntime();
    ~QtRuntime() override;
    QtRuntime(const QtRuntime&) = delete;
    QtRuntime& operator=(const QtRuntime&) = delete;

    // Shows the start-up form (its Form_Load runs first) and runs the event loop until the
    // last window has gone or End is called. Returns the exit code.
    int Run(Form& startup);

    void ShowForm(Form& form) override;
    void CloseForm(Form& form) override;
    void End() override;
    bool Ended() const override { return m_ended; }

  private:
    void QuitIfRunning();

    std::map<const Form*, FormWindow*> m_windows;
    // Closed windows waiting for the event loop to delete them; whatever it did not get to
    // goes with the runtime.
    std::vector<QPointer<FormWindow>> m_closed;
    bool m_running = false;
    bool m_ended = false;
};

}  // namespace platform
