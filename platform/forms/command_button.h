#pragma once

#include <functional>
#include <string>

#include "platform/forms/control.h"

namespace platform {

// A push button. Default answers Enter and Cancel answers Escape anywhere in its form
// (Enter on another focused button presses that one instead).
class CommandButton : public Control {
  public:
    explicit CommandButton(std::string name) : Control(std::move(name)) {}

    const std::string& Caption() const { return m_caption; }
    void SetCaption(std::string caption) {
        m_caption = std::move(caption);
        Notify();
    }
    bool Default() const { return m_default; }
    void SetDefault(bool isDefault) {
        m_default = isDefault;
        Notify();
    }
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool isCancel) {
        m_cancel = isCancel;
        Notify();
    }
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled) {
        m_enabled = enabled;
        Notify();
    }

    std::function<void()> Click;

  private:
    std::string m_caption;
    bool m_default = false;
    bool m_cancel = false;
    bool m_enabled = true;
};

}  // namespace platform
