#include "main_window/frm_main.h"
#include "platform/forms/message_box.h"
#include "platform/pictures/picture_files.h"
#include "platform/platform_error.h"
#include "platform/runtime_text.h"

namespace zentrova {

using platform::characters::EndsWithNoCase;

void frmMain::SaveConverted(const platform::Picture& picture, std::string_view extension) {
    // A path settled for the other kind of file is not ours to replace.
    if (SavePath.empty() || !EndsWithNoCase(SavePath, extension)) return;
    try {
        platform::SavePicture(picture, SavePath);
    } catch (const platform::PlatformError& error) {
        services().runtime.NoteError(error);
        MsgBox(services().messageBoxes, "File " + SavePath + " could not be written!",
               platform::vbCritical, "Error");
    }
}

}  // namespace zentrova
