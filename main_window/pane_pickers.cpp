// Clicking a source pane loads a file straight into it.
#include "main_window/frm_main.h"
#include "platform/forms/continue_on_error.h"
#include "platform/pictures/picture_files.h"

namespace zentrova {

using platform::LoadPicture;

void frmMain::Picture1_Click() {
    Picture1.SetPicture(LoadPicture());
    Picture2.SetPicture(LoadPicture());
    BrowseDialog.Filter = "All picture files (*.JPG)|*.JPG";
    BrowseDialog.ShowOpen();
    // No checks: a cancelled or unreadable choice leaves the pane blank, without a word.
    platform::Step([&] { Picture1.SetPicture(LoadPicture(BrowseDialog.FileName)); });
    Picture1.SetWidth(36);
    Picture1.SetHeight(36);
}

void frmMain::Picture3_Click() {
    Picture3.SetPicture(LoadPicture());
    Picture4.SetPicture(LoadPicture());
    BrowseDialog.Filter = "All icon files (*.ICO)|*.ICO";
    BrowseDialog.ShowOpen();
    // The pane takes the picture's size by itself.
    platform::Step([&] { Picture3.SetPicture(LoadPicture(BrowseDialog.FileName)); });
}

}  // namespace zentrova
