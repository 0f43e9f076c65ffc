// "Convert to BMP": a snapshot of the icon pane as it draws the icon over its background.
#include "main_window/frm_main.h"
#include "platform/forms/continue_on_error.h"

namespace zentrova {

void frmMain::Command2_Click() {
    Picture4.SetPicture(Picture3.Image());

    std::int32_t keyColour = 0;
    platform::Step([&] { keyColour = Picture4.Point(0, 0); });
    const platform::OLE_COLOR fillColour = BackColor();

    // On screen only: the pane keeps no drawing, so the file gets the snapshot itself.
    for (std::int16_t X = 0; X <= 32; ++X) {
        for (std::int16_t Y = 0; Y <= 32; ++Y) {
            if (platform::Test([&] { return Picture4.Point(X, Y) == keyColour; })) {
                platform::Step([&] { Picture4.PSet(X, Y, fillColour); });
            }
        }
    }

    SaveConverted(Picture4.GetPicture(), ".BMP");
}

}  // namespace zentrova
