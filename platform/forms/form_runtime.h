#pragma once

#include <string>
#include <utility>

#include "platform/platform_error.h"

namespace platform {

class Form;

// What shows forms: the Qt binding, or the headless runtime of tests and batch use.
class FormRuntime {
  public:
    virtual ~FormRuntime() = default;

    // Shows the loaded form's window, modeless.
    virtual void ShowForm(Form& form) = 0;
    // The form's window goes; the program ends when the last one has gone. Also called
    // when a form object is destroyed while its window is shown.
    virtual void CloseForm(Form& form) = 0;
    // Ends the program at once: windows go without any further form event.
    virtual void End() = 0;
    virtual bool Ended() const { return false; }

    // The runtime's error object: the reason of the last error a handler caught and reported,
    // kept for a caller without a window, who prints it after the handler's message.
    void NoteError(const PlatformError& error) { m_errorDetail = error.Detail(); }
    std::string TakeErrorDetail() { return std::exchange(m_errorDetail, {}); }

  private:
    std::string m_errorDetail;
};

}  // namespace platform
