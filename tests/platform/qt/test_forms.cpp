#include "tests/platform/qt/test_forms.h"

namespace platform::test {

MainLikeForm::MainLikeForm(Services& services) : Form(services, "frmMain") {
    SetCaption("Zentrova");
    SetClientSize(132, 90);
    SetStartUpPosition(StartUpPosition::CenterScreen);
    SetIcon(Picture::FromBitmap(Bitmap(32, 32, PixelFormat::Colour, RGB(0, 128, 0))));

    Picture1.Move(10, 10, 36, 36);
    Picture1.SetBackColor(SystemColour(COLOR_WINDOW));
    Picture1.SetToolTipText("Picture");
    Picture1.Click = [this] { ++picture1Clicks; };
    picImage.Move(250, 2, 36, 36);
    Command1.Move(110, 17, 90, 23);
    Command1.SetCaption("Convert to ICO");
    Picture3.Move(10, 72, 36, 36);
    Picture3.SetBackColor(SystemColour(COLOR_WINDOW));
    imgPreview.Move(8, 0, 80, 80);
    imgPreview.SetStretch(true);
    imgPreview.SetPicture(Picture::FromBitmap(Bitmap(4, 4, PixelFormat::Colour, RGB(255, 0, 0))));
    for (Control* control : {static_cast<Control*>(&Picture1), static_cast<Control*>(&picImage),
                             static_cast<Control*>(&Command1), static_cast<Control*>(&Picture3),
                             static_cast<Control*>(&imgPreview)}) {
        AddControl(*control);
    }

    mnuFile.Add(mnuOpen);
    mnuFile.Add(mnuConvert);
    mnuFile.Add(mnuLinea);
    mnuFile.Add(mnuExit);
    for (const char* caption : {"&16x16", "&24x24", "&32x32", "&48x48", "&64x64"}) {
        mnuSizeM.Add(mnuSize.Add(caption));
    }
    mnuSize[2].SetChecked(true);
    mnuHelp.Add(mnuAbout);
    AddMenu(mnuFile);
    AddMenu(mnuSizeM);
    AddMenu(mnuHelp);
    mnuExit.Click = [this] { ++exitClicks; };
    mnuAbout.Click = [this] { ++aboutClicks; };
    mnuSize.Click = [this](int Index) {
        for (int i = 0; i < mnuSize.Count(); ++i) mnuSize[i].SetChecked(i == Index);
        lastSize = Index;
    };
}

DialogLikeForm::DialogLikeForm(Services& services) : Form(services, "frmAbout") {
    SetCaption("About Zentrova...");
    SetClientSize(382, 190);
    SetClientPosition(156, 129);
    SetBorderStyle(BorderStyle::FixedDialog);
    SetShowInTaskbar(false);

    cmdOK.Move(283, 127, 84, 23);
    cmdOK.SetCaption("OK");
    cmdOK.SetDefault(true);
    cmdOK.SetCancel(true);
    cmdOK.SetTabIndex(0);
    cmdOK.Click = [this] { ++okClicks; };
    cmdSysInfo.Move(284, 157, 83, 23);
    cmdSysInfo.SetCaption("&System Info...");
    cmdSysInfo.SetTabIndex(2);
    cmdSysInfo.Click = [this] { ++sysInfoClicks; };
    Line1.SetPoints(6, 115, 377, 115);
    Line1.SetBorderColor(0x808080);
    lblTitle.Move(70, 16, 259, 32);
    lblTitle.SetCaption("Zentrova");
    lblTitle.SetFont(Font{"MS Sans Serif", 12, true});
    AddControl(cmdOK);
    AddControl(cmdSysInfo);
    AddControl(Line1);
    AddControl(lblTitle);
}

}  // namespace platform::test
