#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "about/frm_about.h"
#include "platform/forms/headless_runtime.h"
#include "platform/platform_error.h"

namespace zentrova::testing {

struct NoFileDialogs : platform::FileDialogService {
    std::optional<std::string> Show(const platform::FileDialogRequest&) override {
        ADD_FAILURE() << "the About dialog shows no file dialog";
        return std::nullopt;
    }
};

// Records every message box and answers OK, as the user would.
struct ScriptedMessageBoxes : platform::MessageBoxService {
    struct Shown {
        std::string prompt;
        int style;
        std::string title;
    };
    int Show(const std::string& prompt, int style, const std::string& title) override {
        shown.push_back({prompt, style, title});
        return platform::vbOK;
    }
    std::vector<Shown> shown;
};

// Program start without processes: paths in `installed` start, every other one fails as a
// missing program does.
struct FakeShell : platform::ShellService {
    double Shell(const std::string& path, int windowStyle) override {
        calls.push_back({path, windowStyle});
        if (!installed.contains(path)) {
            throw platform::PlatformError(platform::ErrorNumber::FileNotFound);
        }
        return 4242;
    }
    struct Call {
        std::string path;
        int windowStyle;
        bool operator==(const Call&) const = default;
    };
    std::set<std::string> installed;
    std::vector<Call> calls;
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
class AboutTest : public ::testing::Test {
  protected:
    // A registry whose hive is the export header followed by the given lines.
    void UseHive(const std::string& lines) {
        registry = platform::Registry::FromText("Windows Registry Editor Version 5.00\n\n" + lines);
        ASSERT_EQ(registry.LoadError(), "");
    }

    platform::Gdi gdi;
    NoFileDialogs fileDialogs;
    ScriptedMessageBoxes messageBoxes;
    platform::HeadlessRuntime runtime;
    platform::Services services{gdi, fileDialogs, messageBoxes, runtime};
    platform::Form mainWindow{services, "frmMain"};
    platform::Registry registry;
    FakeShell shell;
    frmAbout about{services, mainWindow, kRecord, SystemServices{registry, shell}};
};

}  // namespace zentrova::testing
