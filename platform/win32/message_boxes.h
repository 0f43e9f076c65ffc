#pragma once

#include "platform/forms/message_box.h"

namespace platform::win32 {

// The message box service as the system's MessageBoxW, owned by the active window: the
// style's buttons and icon (16 stop, 48 exclamation) are the system's own, and the prompt is
// shown as the plain text it is.
class Win32MessageBoxes : public MessageBoxService {
  public:
    int Show(const std::string& prompt, int style, const std::string& title) override;
};

}  // namespace platform::win32
