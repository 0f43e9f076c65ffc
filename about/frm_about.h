#pragma once

#include <array>
#include <string>

#include "platform/forms/command_button.h"
#include "platform/forms/form.h"
#include "platform/forms/label.h"
#include "platform/forms/line_control.h"
#include "platform/forms/picture_box.h"
#include "platform/system/registry.h"
#include "resources/application_record.h"

namespace zentrova {

// The About dialog: title, version, description and disclaimer, and a button that starts
// the system-information tool named in the registry. It disables nothing itself; whoever
// opens it disables the main window, and every way of closing it enables that window again.
class frmAbout : public platform::Form {
  public:
    // "System Info..." reads the services' registry and starts the tool through their shell.
    frmAbout(platform::Services& services, platform::Form& mainWindow,
             const ApplicationRecord& record);

    // Controls, in creation order (Line1 index 1 comes before the labels, index 0 after the
    // title).
    platform::PictureBox picIcon{services().gdi, "picIcon"};
    platform::CommandButton cmdOK{"cmdOK"};
    platform::CommandButton cmdSysInfo{"cmdSysInfo"};
    std::array<platform::LineControl, 2> Line1{platform::LineControl("Line1"),
                                               platform::LineControl("Line1")};
    platform::Label lblDescription{"lblDescription"};
    platform::Label lblTitle{"lblTitle"};
    platform::Label lblVersion{"lblVersion"};
    platform::Label lblDisclaimer{"lblDisclaimer"};

    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void cmdOK_Click();
    void cmdSysInfo_Click();

    // Finds and starts the system-information tool, or tells the user it could not.
    void StartSysInfo();
    // Reads one registry value as text into KeyVal; true on success, and KeyVal "" on failure.
    bool GetKeyValue(platform::HKEY KeyRoot, const std::string& KeyName,
                     const std::string& SubKeyRef, std::string& KeyVal);

  private:
    void Define();

    platform::Form& m_mainWindow;
    ApplicationRecord m_record;
};

}  // namespace zentrova
