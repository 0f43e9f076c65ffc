// The Size menu: the size of the source panes, not of the icon.
#include "main_window/size_menu.h"

#include "main_window/frm_main.h"

namespace zentrova {

std::optional<int> SizeMenuIndex(int side) {
    for (std::size_t index = 0; index < kSizeMenuSides.size(); ++index) {
        if (kSizeMenuSides[index] == side) return static_cast<int>(index);
    }
    return std::nullopt;
}

std::string SizeMenuCaption(int index) {
    const std::string side = std::to_string(kSizeMenuSides.at(static_cast<std::size_t>(index)));
    return "&" + side + "x" + side;
}

void frmMain::mnuSize_Click(int Index) {
    if (Index < 0 || Index >= static_cast<int>(kSizeMenuSides.size())) return;
    for (int item = 0; item < static_cast<int>(kSizeMenuSides.size()); ++item) {
        mnuSize[item].SetChecked(false);
    }
    mnuSize[Index].SetChecked(true);
    IconSize = kSizeMenuSides[static_cast<std::size_t>(Index)];
    ShowPreviewIn(Picture1);
    ShowPreviewIn(Picture3);
}

}  // namespace zentrova
