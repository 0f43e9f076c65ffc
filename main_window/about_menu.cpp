// Help > About.
#include "about/frm_about.h"
#include "main_window/frm_main.h"
#include "resources/application_record.h"

namespace zentrova {

void frmMain::mnuAbout_Click() {
    SetEnabled(false);
    // Loaded afresh each time: a closed dialog is gone.
    if (!m_about || !m_about->IsLoaded()) {
        m_about = std::make_unique<frmAbout>(services(), *this, kApplicationRecord);
    }
    m_about->Show();
}

}  // namespace zentrova
