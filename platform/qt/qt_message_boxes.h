#pragma once

#include <QMessageBox>

#include "platform/forms/message_box.h"

namespace platform {

// The message box service as a QMessageBox with an OK button.
class QtMessageBoxes : public MessageBoxService {
  public:
    int Show(const std::string& prompt, int style, const std::string& title) override;

    // 16 stop (critical), 32 question, 48 exclamation (warning), 64 information.
    static QMessageBox::Icon IconForStyle(int style);
};

}  // namespace platform
