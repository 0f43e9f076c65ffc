#pragma once

#include <utility>

#include "platform/forms/services.h"
#include "tests/support/scripted_services.h"

namespace test_support {

// The six services every form is handed, each a member that a test scripts or reads, wired
// once into `services`. Runtime is the headless or the Qt one. The file dialogs and message
// boxes are the scripted ones unless a test names others; the arguments are those of the
// file dialogs' constructor. The registry is empty until a test loads one, and the shell
// starts only what the test says is installed.
template <typename Runtime, typename FileDialogs = ScriptedFileDialogs,
          typename MessageBoxes = RecordingMessageBoxes>
struct FormServices {
    template <typename... DialogArguments>
    explicit FormServices(DialogArguments&&... arguments)
        : dialogs(std::forward<DialogArguments>(arguments)...) {}

    // The same services with another program start.
    platform::Services WithShell(platform::ShellService& other) {
        return {gdi, dialogs, messageBoxes, runtime, registry, other};
    }

    platform::Gdi gdi;
    FileDialogs dialogs;
    MessageBoxes messageBoxes;
    Runtime runtime;
    platform::Registry registry;
    ScriptedShell shell;
    platform::Services services{gdi, dialogs, messageBoxes, runtime, registry, shell};
};

// What the user is asked when a test's file dialogs are the program's own, which answer some
// requests themselves and pass the rest on. A base listed before FormServices, so that these
// exist before the dialogs made over them.
struct UserDialogs {
    ScriptedFileDialogs realDialogs;
};

}  // namespace test_support
