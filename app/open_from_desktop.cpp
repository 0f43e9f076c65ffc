#include "app/open_from_desktop.h"

#include "app/dialog_path.h"
#include "main_window/frm_main.h"

namespace zentrova {

std::optional<std::string> PresetFileDialogs::Show(const platform::FileDialogRequest& request) {
    if (request.mode == platform::FileDialogMode::Open && m_openAnswer) {
        std::optional<std::string> answer = std::move(m_openAnswer);
        m_openAnswer.reset();
        return answer;
    }
    return m_real.Show(request);
}

void PresetFileDialogs::OpenFile(frmMain& form, const std::string& fileName) {
    // Only that one Open dialog: a pane picker later on asks the user again.
    struct ForgetAnswer {
        std::optional<std::string>& answer;
        ~ForgetAnswer() { answer.reset(); }
    } forget{m_openAnswer};
    m_openAnswer = DialogPath(fileName);
    form.mnuOpen_Click();
}

void OpenDroppedFiles(frmMain& form, PresetFileDialogs& dialogs) {
    form.FileDropped = [&form, &dialogs](const std::string& fileName) {
        dialogs.OpenFile(form, fileName);
    };
}

}  // namespace zentrova
