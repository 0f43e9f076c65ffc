#pragma once

#include <vector>

#include "platform/forms/form.h"
#include "platform/forms/form_runtime.h"

namespace platform {

// A runtime without a display, for tests and batch use: it records which forms have a
// window and plays the user's close button on request.
class HeadlessRuntime : public FormRuntime {
  public:
    void ShowForm(Form& form) override;
    void CloseForm(Form& form) override;
    void End() override;
    bool Ended() const override { return m_ended; }

    // Forms with a window now, in the order they were shown.
    const std::vector<Form*>& ShownForms() const { return m_shown; }
    bool IsShown(const Form& form) const;
    // The user's close button: the form's close sequence, which may cancel.
    bool PressCloseButton(Form& form) { return form.RequestClose(vbFormControlMenu); }
    // The program has ended: End was called, or the last window went.
    bool Finished() const { return m_ended || (m_everShown && m_shown.empty()); }

  private:
    std::vector<Form*> m_shown;
    bool m_everShown = false;
    bool m_ended = false;
};

}  // namespace platform
