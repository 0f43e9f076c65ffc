#include "about/frm_about.h"

#include <string>

#include "platform/forms/continue_on_error.h"
#include "resources/app_icon.h"

namespace zentrova {

namespace {

constexpr platform::OLE_COLOR kBlack = 0x000000;
constexpr platform::OLE_COLOR kGrey = 0x808080;
constexpr platform::OLE_COLOR kWhite = 0xFFFFFF;

const platform::Font kTitleFont{"MS Sans Serif", 12.0f, true};
const platform::Font kVersionFont{"MS Sans Serif", 8.25f, true};

constexpr const char* kDescription =
    "Convert picture files (*.BMP, *.GIF, *.JPG) to icons, and icon files (*.ICO) to pictures.";
constexpr const char* kDisclaimer =
    "This program is provided as is, without warranty of any kind, either express or "
    "implied, including fitness for a particular purpose. You use it entirely at your own "
    "risk.";

}  // namespace

frmAbout::frmAbout(platform::Services& services, platform::Form& mainWindow,
                   const ApplicationRecord& record)
    : Form(services, "frmAbout"), m_mainWindow(mainWindow), m_record(record) {
    Define();
}

// The window definition: every setting the dialog has before it loads.
void frmAbout::Define() {
    const platform::Picture icon = platform::Picture::FromIcon(ApplicationIcon());

    SetCaption("About Zentrova...");
    SetBorderStyle(platform::BorderStyle::FixedDialog);
    SetMinButton(false);
    SetMaxButton(false);
    SetIcon(icon);
    SetClientSize(382, 190);
    SetStartUpPosition(platform::StartUpPosition::Manual);
    SetClientPosition(156, 129);
    SetShowInTaskbar(false);

    picIcon.Move(16, 16, 36, 36);
    picIcon.SetTabIndex(1);
    picIcon.SetPicture(icon);
    picIcon.SetAutoSize(true);
    AddControl(picIcon);

    cmdOK.Move(283, 127, 84, 23);
    cmdOK.SetTabIndex(0);
    cmdOK.SetCaption("OK");
    cmdOK.SetDefault(true);
    cmdOK.SetCancel(true);
    cmdOK.Click = [this] { cmdOK_Click(); };
    AddControl(cmdOK);

    cmdSysInfo.Move(284, 157, 83, 23);
    cmdSysInfo.SetTabIndex(2);
    cmdSysInfo.SetCaption("&System Info...");
    cmdSysInfo.Click = [this] { cmdSysInfo_Click(); };
    AddControl(cmdSysInfo);

    // The etched rule: a grey line and, one pixel lower, a white one two pixels wide.
    Line1[1].SetPoints(6, 115, 377, 115);
    Line1[1].SetBorderColor(kGrey);
    Line1[1].SetBorderStyle(platform::LineControl::kInsideSolid);
    AddControl(Line1[1]);

    lblDescription.Move(70, 75, 259, 30);
    lblDescription.SetTabIndex(3);
    lblDescription.SetCaption(kDescription);
    lblDescription.SetForeColor(kBlack);
    AddControl(lblDescription);

    lblTitle.Move(70, 16, 259, 32);
    lblTitle.SetTabIndex(5);
    lblTitle.SetCaption("Zentrova");
    lblTitle.SetFont(kTitleFont);
    lblTitle.SetForeColor(kBlack);
    AddControl(lblTitle);

    Line1[0].SetBorderWidth(2);
    Line1[0].SetPoints(7, 116, 377, 116);
    Line1[0].SetBorderColor(kWhite);
    AddControl(Line1[0]);

    lblVersion.Move(70, 52, 259, 15);
    lblVersion.SetTabIndex(6);
    lblVersion.SetCaption("VERSION");
    lblVersion.SetFont(kVersionFont);
    AddControl(lblVersion);

    lblDisclaimer.Move(17, 127, 258, 55);
    lblDisclaimer.SetTabIndex(4);
    lblDisclaimer.SetCaption(kDisclaimer);
    lblDisclaimer.SetForeColor(kBlack);
    AddControl(lblDisclaimer);
}

void frmAbout::Form_Load() {
    // No separator between minor and revision: 1, 0, 38 reads v1.038.
    platform::Step([&] {
        lblVersion.SetCaption("v" + std::to_string(m_record.Major) + "." +
                              std::to_string(m_record.Minor) + std::to_string(m_record.Revision));
    });
}

// However the dialog closes (OK, Escape, the title-bar button, Alt+F4), the main window
// takes input again.
void frmAbout::Form_Unload(int& Cancel) {
    (void)Cancel;
    m_mainWindow.SetEnabled(true);
}

void frmAbout::cmdOK_Click() {
    m_mainWindow.SetEnabled(true);
    Unload();
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

}  // namespace zentrova
