#pragma once

#include "platform/forms/common_dialog.h"
#include "platform/forms/form_runtime.h"
#include "platform/forms/message_box.h"
#include "platform/graphics/gdi.h"
#include "platform/system/registry.h"
#include "platform/system/shell.h"

namespace platform {

// What the platform hands to every form: the system's registry and program start come with
// it, so a form that needs them is given them like everything else.
struct Services {
    Gdi& gdi;
    FileDialogService& fileDialogs;
    MessageBoxService& messageBoxes;
    FormRuntime& runtime;
    Registry& registry;
    ShellService& shell;
};

}  // namespace platform
