#pragma once

#include "platform/forms/common_dialog.h"
#include "platform/forms/form_runtime.h"
#include "platform/forms/message_box.h"
#include "platform/graphics/gdi.h"

namespace platform {

// What the platform hands to every form.
struct Services {
    Gdi& gdi;
    FileDialogService& fileDialogs;
    MessageBoxService& messageBoxes;
    FormRuntime& runtime;
};

}  // namespace platform
