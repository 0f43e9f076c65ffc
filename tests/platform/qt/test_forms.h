#pragma once

#include <string>

#include "platform/forms/command_button.h"
#include "platform/forms/form.h"
#include "platform/forms/image_control.h"
#include "platform/forms/label.h"
#include "platform/forms/line_control.h"
#include "platform/forms/menu_item.h"
#include "platform/forms/picture_box.h"

namespace platform::test {

// Laid out like the program's main window: 132 x 90 client area, a menu bar with a
// control array and shortcuts, panes inside and outside the client area.
class MainLikeForm : public Form {
  public:
    explicit MainLikeForm(Services& services);

    PictureBox Picture1{services().gdi, "Picture1"};
    PictureBox picImage{services().gdi, "picImage"};
    CommandButton Command1{"Command1"};
    PictureBox Picture3{services().gdi, "Picture3"};
    ImageControl imgPreview{"imgPreview"};

    MenuItem mnuFile{"mnuFile", "&File"};
    MenuItem mnuOpen{"mnuOpen", "&Open"};
    MenuItem mnuConvert{"mnuConvert", "&Convert"};
    MenuItem mnuLinea{"mnuLinea", "-"};
    MenuItem mnuExit{"mnuExit", "&Exit", "Ctrl+X"};
    MenuItem mnuSizeM{"mnuSizeM", "&Size"};
    MenuArray mnuSize{"mnuSize"};
    MenuItem mnuHelp{"mnuHelp", "&Help"};
    MenuItem mnuAbout{"mnuAbout", "&About", "F1"};

    int exitClicks = 0;
    int aboutClicks = 0;
    int picture1Clicks = 0;
    int lastSize = -1;
};

// Laid out like the About dialog: fixed dialog frame, stored position, no taskbar button,
// an OK button that is both default and cancel, a second button with an access key.
class DialogLikeForm : public Form {
  public:
    explicit DialogLikeForm(Services& services);
    void Form_QueryUnload(int& Cancel, int) override {
        ++queryUnloads;
        Cancel = cancelClose;
    }

    CommandButton cmdOK{"cmdOK"};
    CommandButton cmdSysInfo{"cmdSysInfo"};
    LineControl Line1{"Line1"};
    Label lblTitle{"lblTitle"};

    int okClicks = 0;
    int sysInfoClicks = 0;
    int queryUnloads = 0;
    int cancelClose = 0;
};

}  // namespace platform::test
