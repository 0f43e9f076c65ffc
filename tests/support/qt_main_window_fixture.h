#pragma once

#include <gtest/gtest.h>

#include <utility>

#include "main_window/frm_main.h"
#include "platform/qt/form_window.h"
#include "platform/qt/qt_runtime.h"
#include "tests/support/form_services.h"
#include "tests/support/test_files.h"

namespace test_support {

// The main window on real widgets (Qt's offscreen platform) over scripted services, with a
// temporary folder. The test shows it; afterwards the program is ended if it still runs.
template <typename FileDialogs = ScriptedFileDialogs>
class QtMainWindowTest : public ::testing::Test,
                         public FormServices<platform::QtRuntime, FileDialogs> {
  protected:
    template <typename... DialogArguments>
    explicit QtMainWindowTest(DialogArguments&&... arguments)
        : FormServices<platform::QtRuntime, FileDialogs>(
              std::forward<DialogArguments>(arguments)...) {}
    ~QtMainWindowTest() override {
        if (form.IsLoaded() && !this->runtime.Ended()) this->runtime.End();
    }

    TempDir dir;
    zentrova::frmMain form{this->services};
    platform::FormWindow* window = nullptr;
};

}  // namespace test_support
