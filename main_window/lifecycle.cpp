// Start-up and shut-down of the main window.
#include "main_window/frm_main.h"
#include "platform/pictures/picture_files.h"

namespace zentrova {

using platform::LoadPicture;

void frmMain::Form_Load() {
    IconSize = 32;
    mnuConvert.SetEnabled(false);
    hMemDC = gdi().CreateCompatibleDC(hDC());
    // Made while the new context still holds its 1x1 monochrome bitmap, so it is monochrome.
    hMemBitmap = gdi().CreateCompatibleBitmap(hMemDC, 32, 32);
    hOldBitmap = gdi().SelectObject(hMemDC, hMemBitmap);
    IID_IDispatch.Data1 = 0x00020400;
    IID_IDispatch.Data4[0] = 0xC0;
    IID_IDispatch.Data4[7] = 0x46;
    picImage.SetAutoRedraw(true);
    picMask.SetAutoRedraw(true);
}

void frmMain::Form_QueryUnload(int& /*Cancel*/, int /*UnloadMode*/) {
    gdi().SelectObject(hMemDC, hOldBitmap);
    gdi().DeleteObject(hMemBitmap);
    gdi().DeleteDC(hMemDC);
}

// Both ways out let go of the four panes' pictures.
void frmMain::ClearPanes() {
    Picture1.SetPicture(LoadPicture());
    Picture2.SetPicture(LoadPicture());
    Picture3.SetPicture(LoadPicture());
    Picture4.SetPicture(LoadPicture());
}

void frmMain::Form_Unload(int& /*Cancel*/) {
    ClearPanes();
}

void frmMain::mnuExit_Click() {
    ClearPanes();
    // At once: neither close handler runs; the process gives back the context and bitmap.
    services().runtime.End();
}

}  // namespace zentrova
