#pragma once

#include <deque>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/forms/common_dialog.h"
#include "platform/forms/message_box.h"
#include "platform/platform_error.h"
#include "platform/system/shell.h"

namespace test_support {

// File dialogs that answer from a script and remember what they were asked.
class ScriptedFileDialogs : public platform::FileDialogService {
  public:
    // The next dialog returns this path, or cancels for nullopt.
    void Answer(std::optional<std::string> choice) { m_answers.push_back(std::move(choice)); }
    std::optional<std::string> Show(const platform::FileDialogRequest& request) override {
        requests.push_back(request);
        if (m_answers.empty()) return std::nullopt;
        auto answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    bool Unanswered() const { return !m_answers.empty(); }

    std::vector<platform::FileDialogRequest> requests;

  private:
    std::deque<std::optional<std::string>> m_answers;
};

struct ShownMessage {
    std::string prompt;
    int style;
    std::string title;
    bool operator==(const ShownMessage&) const = default;
};

// Message boxes that are pressed OK at once and remembered.
class RecordingMessageBoxes : public platform::MessageBoxService {
  public:
    int Show(const std::string& prompt, int style, const std::string& title) override {
        shown.push_back({prompt, style, title});
        return platform::vbOK;
    }
    std::vector<ShownMessage> shown;
};

// Program start without processes: paths in `installed` start, every other one fails as a
// missing program does.
struct ScriptedShell : platform::ShellService {
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

}  // namespace test_support
