// File > Open and File > Convert.
#include "main_window/frm_main.h"
#include "main_window/path_functions.h"
#include "platform/forms/message_box.h"
#include "platform/pictures/picture_files.h"
#include "platform/runtime_text.h"

namespace zentrova {

using platform::PlatformError;
using platform::characters::Len;
using platform::characters::Right;
using platform::characters::UCase;

void frmMain::mnuOpen_Click() {
    BrowseDialog.Filter =
        "All picture files (*.JPG, *.JPEG, *.GIF, *.BMP, *.CUR, *.ICO)|"
        "*.JPG;*.JPEG;*.GIF;*.BMP;*.CUR;*.ICO";
    BrowseDialog.DialogTitle = "Open...";
    BrowseDialog.ShowOpen();

    const std::string fileName = BrowseDialog.FileName;
    if (Len(fileName) < 4) return;
    if (!FileExists(fileName)) {
        MsgBox(services().messageBoxes, "File " + fileName + " does not exist!",
               platform::vbCritical, "Error");
        return;
    }

    // Load before changing anything: a file that is not a picture must not leave the previous
    // picture to be written under the new name.
    platform::Picture loaded;
    try {
        loaded = platform::LoadPicture(fileName);
    } catch (const PlatformError& error) {
        services().runtime.NoteError(error);
        MsgBox(services().messageBoxes, "File " + fileName + " is not a valid picture!",
               platform::vbCritical, "Error");
        return;
    }

    SourceIsPicture = UCase(Right(fileName, 4)) != ".ICO";
    imgPreview.SetPicture(loaded);
    mnuConvert.SetEnabled(true);
    ShowPreviewIn(SourceIsPicture ? Picture1 : Picture3);
    mnuConvert_Click();
}

void frmMain::mnuConvert_Click() {
    ShowPreviewIn(Picture1);
    ShowPreviewIn(Picture3);
    if (!mnuConvert.Enabled()) return;

    BrowseDialog.Filter = "All files (*.*)|*.*";
    BrowseDialog.DialogTitle = "Save as...";
    BrowseDialog.ShowSave();

    const std::string fileName = BrowseDialog.FileName;
    if (fileName.empty()) return;
    std::string filePart = GetFileNameFromString(fileName);
    const std::string folderPart = fileName.substr(0, fileName.size() - filePart.size());

    // The extension is appended unless the name already ends in it, in any letter case.
    const std::string extension = SourceIsPicture ? ".ICO" : ".BMP";
    if (Len(filePart) < 5 || UCase(Right(filePart, 4)) != extension) filePart += extension;

    SavePath = AddSlash(folderPart, kPathSeparator) + filePart;
    if (SourceIsPicture) {
        Command1_Click();
    } else {
        Command2_Click();
    }
}

void frmMain::ShowPreviewIn(platform::PictureBox& pane) {
    pane.SetPicture(imgPreview.GetPicture());
    pane.SetWidth(IconSize + 4);
    pane.SetHeight(IconSize + 4);
}

}  // namespace zentrova
