#pragma once

#include <optional>
#include <string>

#include "platform/forms/common_dialog.h"

namespace zentrova {

class frmMain;

// The program's file dialogs, able to answer the next Open dialog with a name given in
// advance: a file named on the command line or dropped on the window is then opened exactly
// as if it had been chosen there. Every other dialog is the real one.
class PresetFileDialogs : public platform::FileDialogService {
  public:
    explicit PresetFileDialogs(platform::FileDialogService& real) : m_real(real) {}

    std::optional<std::string> Show(const platform::FileDialogRequest& request) override;

    // File > Open with fileName chosen in the Open dialog; the Save dialog after it is real.
    void OpenFile(frmMain& form, const std::string& fileName);

  private:
    platform::FileDialogService& m_real;
    std::optional<std::string> m_openAnswer;
};

// From now on a file dropped on the main window is opened with dialogs.OpenFile.
void OpenDroppedFiles(frmMain& form, PresetFileDialogs& dialogs);

}  // namespace zentrova
