#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/forms/command_button.h"
#include "platform/forms/common_dialog.h"
#include "platform/forms/form.h"
#include "platform/forms/image_control.h"
#include "platform/forms/menu_item.h"
#include "platform/forms/picture_box.h"
#include "platform/graphics/handles.h"
#include "platform/pictures/ole_picture.h"

namespace zentrova {

class frmAbout;

// The main window: its controls and menus, the state every action shares, and the
// handlers. The handlers live in the folder of their subsystem (conversion/ holds the two
// buttons' handlers).
class frmMain : public platform::Form {
  public:
    explicit frmMain(platform::Services& services);
    ~frmMain() override;

    // Controls, in creation order.
    platform::CommonDialog BrowseDialog;
    platform::PictureBox Picture2;
    platform::PictureBox Picture1;
    platform::PictureBox picImage;
    platform::PictureBox picMask;
    platform::CommandButton Command2;
    platform::CommandButton Command1;
    platform::PictureBox Picture4;
    platform::PictureBox Picture3;
    platform::ImageControl imgPreview;

    // Menus.
    platform::MenuItem mnuFile;
    platform::MenuItem mnuOpen;
    platform::MenuItem mnuConvert;
    platform::MenuItem mnuLinea;
    platform::MenuItem mnuExit;
    platform::MenuItem mnuSizeM;
    platform::MenuArray mnuSize;
    platform::MenuItem mnuHelp;
    platform::MenuItem mnuAbout;

    // Form-level state, shared by every action for as long as the window lives.
    platform::GUID IID_IDispatch;
    platform::HDC hMemDC{};
    platform::HBITMAP hMemBitmap{};
    platform::HBITMAP hOldBitmap{};
    bool SourceIsPicture = false;
    std::int16_t IconSize = 0;
    std::string SavePath;

    // Start-up and shut-down.
    void Form_Load() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void Form_Unload(int& Cancel) override;
    void mnuExit_Click();

    // File actions, pane pickers and the Size menu.
    void mnuOpen_Click();
    void mnuConvert_Click();
    void Picture1_Click();
    void Picture3_Click();
    void mnuSize_Click(int Index);

    // The two conversions.
    void Command1_Click();
    void Command2_Click();

    void mnuAbout_Click();

  private:
    void ConvertPictureToIcon();
    void CreateIconPicture(platform::PictureBox& picDest);
    // Shows the opened file in a source pane at IconSize + 4 pixels square.
    void ShowPreviewIn(platform::PictureBox& pane);
    void ClearPanes();
    // Writes a conversion's result to SavePath when SavePath was chosen for this kind of
    // file, and tells the user when the write fails.
    void SaveConverted(const platform::Picture& picture, std::string_view extension);

    platform::Gdi& gdi() { return services().gdi; }

    std::unique_ptr<frmAbout> m_about;
};

}  // namespace zentrova
