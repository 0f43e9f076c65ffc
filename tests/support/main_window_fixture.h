#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "main_window/frm_main.h"
#include "platform/forms/headless_runtime.h"
#include "tests/support/form_services.h"
#include "tests/support/test_files.h"

namespace test_support {

// A loaded main window without a display, with scripted dialogs and a temporary folder.
class MainWindowTest : public ::testing::Test, protected FormServices<platform::HeadlessRuntime> {
  protected:
    MainWindowTest() : form(std::make_unique<zentrova::frmMain>(services)) { form->Load(); }

    zentrova::frmMain& Main() { return *form; }
    std::vector<ShownMessage>& Messages() { return messageBoxes.shown; }

    TempDir dir;
    std::unique_ptr<zentrova::frmMain> form;
};

}  // namespace test_support
