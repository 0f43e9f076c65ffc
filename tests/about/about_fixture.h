#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "about/frm_about.h"
#include "platform/forms/headless_runtime.h"
#include "tests/support/form_services.h"

namespace zentrova::testing {

struct NoFileDialogs : platform::FileDialogService {
    std::optional<std::string> Show(const platform::FileDialogRequest&) override {
        ADD_FAILURE() << "the About dialog shows no file dialog";
        return std::nullopt;
    }
};

// The application record with other version numbers.
inline ApplicationRecord RecordWithVersion(int major, int minor, int revision) {
    ApplicationRecord record = kApplicationRecord;
    record.Major = major;
    record.Minor = minor;
    record.Revision = revision;
    return record;
}

inline const ApplicationRecord kRecord = RecordWithVersion(1, 0, 38);

// The dialog over scripted services, beside a stand-in main window.
class AboutTest : public ::testing::Test,
                  protected test_support::FormServices<platform::HeadlessRuntime, NoFileDialogs> {
  protected:
    // A registry whose hive is the export header followed by the given lines.
    void UseHive(const std::string& lines) {
        registry = platform::Registry::FromText("Windows Registry Editor Version 5.00\n\n" + lines);
        ASSERT_EQ(registry.LoadError(), "");
    }

    platform::Form mainWindow{services, "frmMain"};
    frmAbout about{services, mainWindow, kRecord};
};

}  // namespace zentrova::testing
