#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "main_window/frm_main.h"
#include "platform/forms/headless_runtime.h"
#include "tests/support/scripted_services.h"
#include "tests/support/test_files.h"

namespace test_support {

// A loaded main window without a display, with scripted dialogs and a temporary folder.
class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() : form(std::make_unique<zentrova::frmMain>(services)) { form->Load(); }

    zentrova::frmMain& Main() { return *form; }
    std::vector<ShownMessage>& Messages() { return messageBoxes.shown; }

    platform::Gdi gdi;
    ScriptedFileDialogs dialogs;
    RecordingMessageBoxes messageBoxes;
    platform::HeadlessRuntime runtime;
    platform::Registry registry;
    test_support::ScriptedShell shell;
    platform::Services services{gdi, dialogs, messageBoxes, runtime, registry, shell};
    TempDir dir;
    std::unique_ptr<zentrova::frmMain> form;
};

}  // namespace test_support
