// The main window's definition: its settings, controls and menus, and which handler each
// user event reaches. Geometry is in pixels.
#include "main_window/frm_main.h"

#include "about/frm_about.h"
#include "main_window/size_menu.h"
#include "resources/app_icon.h"
#include "resources/application_record.h"

namespace zentrova {

namespace {

using platform::OLE_COLOR;
using platform::PictureBox;
using platform::SystemColour;

void DefinePane(PictureBox& pane, int left, int top, int tabIndex, bool autoSize, bool autoRedraw,
                OLE_COLOR backColor) {
    pane.Move(left, top, 36, 36);
    pane.SetTabIndex(tabIndex);
    pane.SetAutoSize(autoSize);
    pane.SetAutoRedraw(autoRedraw);
    pane.SetBackColor(backColor);
    pane.SetForeColor(SystemColour(platform::COLOR_WINDOWTEXT));
}

}  // namespace

frmMain::frmMain(platform::Services& services)
    : Form(services, "frmMain"),
      BrowseDialog(services.fileDialogs),
      Picture2(services.gdi, "Picture2"),
      Picture1(services.gdi, "Picture1"),
      picImage(services.gdi, "picImage"),
      picMask(services.gdi, "picMask"),
      Command2("Command2"),
      Command1("Command1"),
      Picture4(services.gdi, "Picture4"),
      Picture3(services.gdi, "Picture3"),
      imgPreview("imgPreview"),
      mnuFile("mnuFile", "&File"),
      mnuOpen("mnuOpen", "&Open"),
      mnuConvert("mnuConvert", "&Convert"),
      mnuLinea("mnuLinea", "-"),
      mnuExit("mnuExit", "&Exit", "Ctrl+X"),
      mnuSizeM("mnuSizeM", "&Size"),
      mnuSize("mnuSize"),
      mnuHelp("mnuHelp", "&Help"),
      mnuAbout("mnuAbout", "&About", "F1") {
    SetCaption(std::string(kApplicationRecord.Title));
    SetBorderStyle(platform::BorderStyle::FixedSingle);
    SetMinButton(false);
    SetMaxButton(false);
    SetClientSize(132, 90);
    SetStartUpPosition(platform::StartUpPosition::CenterScreen);
    SetIcon(platform::Picture::FromIcon(ApplicationIcon()));

    const OLE_COLOR window = SystemColour(platform::COLOR_WINDOW);
    DefinePane(Picture2, 60, 10, 7, true, true, window);
    Picture2.SetToolTipText("Converted icon");
    DefinePane(Picture1, 10, 10, 6, true, true, window);
    Picture1.SetToolTipText("Picture");
    DefinePane(picImage, 250, 2, 5, false, true, platform::RGB(0, 0, 0));
    DefinePane(picMask, 250, 40, 4, false, true, window);
    Command2.Move(110, 80, 90, 23);
    Command2.SetTabIndex(1);
    Command2.SetCaption("Convert to BMP");
    Command1.Move(110, 17, 90, 23);
    Command1.SetTabIndex(0);
    Command1.SetCaption("Convert to ICO");
    DefinePane(Picture4, 60, 72, 3, false, false, window);
    Picture4.SetToolTipText("Converted picture");
    DefinePane(Picture3, 10, 72, 2, true, false, window);
    Picture3.SetToolTipText("Icon");
    imgPreview.Move(8, 0, 80, 80);
    imgPreview.SetStretch(true);

    for (platform::Control* control : std::initializer_list<platform::Control*>{
             &Picture2, &Picture1, &picImage, &picMask, &Command2, &Command1, &Picture4, &Picture3,
             &imgPreview}) {
        AddControl(*control);
    }

    mnuFile.Add(mnuOpen);
    mnuFile.Add(mnuConvert);
    mnuFile.Add(mnuLinea);
    mnuFile.Add(mnuExit);
    for (int index = 0; index < static_cast<int>(kSizeMenuSides.size()); ++index) {
        mnuSizeM.Add(mnuSize.Add(SizeMenuCaption(index)));
    }
    mnuSize[*SizeMenuIndex(32)].SetChecked(true);
    mnuHelp.Add(mnuAbout);
    AddMenu(mnuFile);
    AddMenu(mnuSizeM);
    AddMenu(mnuHelp);

    // The event table.
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    Picture1.Click = [this] { Picture1_Click(); };
    Picture3.Click = [this] { Picture3_Click(); };
    mnuOpen.Click = [this] { mnuOpen_Click(); };
    mnuConvert.Click = [this] { mnuConvert_Click(); };
    mnuExit.Click = [this] { mnuExit_Click(); };
    mnuSize.Click = [this](int Index) { mnuSize_Click(Index); };
    mnuAbout.Click = [this] { mnuAbout_Click(); };
}

frmMain::~frmMain() = default;

}  // namespace zentrova
