// The Size menu: the size of the source panes, not of the icon.
#include <array>

#include "main_window/frm_main.h"

namespace zentrova {

namespace {

constexpr std::array<std::int16_t, 5> kIconSizes = {16, 24, 32, 48, 64};

}  // namespace

void frmMain::mnuSize_Click(int Index) {
    if (Index < 0 || Index >= static_cast<int>(kIconSizes.size())) return;
    for (int item = 0; item < static_cast<int>(kIconSizes.size()); ++item) {
        mnuSize[item].SetChecked(false);
    }
    mnuSize[Index].SetChecked(true);
    IconSize = kIconSizes[Index];
    ShowPreviewIn(Picture1);
    ShowPreviewIn(Picture3);
}

}  // namespace zentrova
