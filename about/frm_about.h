#pragma once

#include <array>
#include <memory>
#include <string>

#include "platform/forms/command_button.h"
#include "platform/forms/form.h"
#include "platform/forms/label.h"
#include "platform/forms/line_control.h"
#include "platform/forms/picture_box.h"
#include "platform/system/registry.h"
#include "platform/system/shell.h"
#include "resources/application_record.h"

namespace zentrova {

// What "System Info..." needs of the system: the registry that names the tool, and program
// start.
struct SystemServices {
    platform::Registry& registry;
    platform::ShellService& shell;
};

// The About dialog: title, version, description and disclaimer, and a button that starts
// the system-information tool named in the registry. It disables nothing itself; whoever
// opens it disables the main window, and every way of closing it enables that window again.
class frmAbout : public platform::Form {
  public:
    // With the machine's own services: the hive installed beside the program, and real
    // program start.
    frmAbout(platform::Services& services, platform::Form& mainWindow,
             const ApplicationRecord& record);
    frmAbout(platform::Services& services, platform::Form& mainWindow,
             const ApplicationRecord& record, SystemServices system);
    ~frmAbout() override;

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
    struct MachineServices;

    void Define();

    platform::Form& m_mainWindow;
    ApplicationRecord m_record;
    std::unique_ptr<MachineServices> m_machine;  // only when no services were handed in
    platform::Registry* m_registry = nullptr;
    platform::ShellService* m_shell = nullptr;
};

}  // namespace zentrova
