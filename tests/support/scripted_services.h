#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/common_dialog.h"
#include "platform/forms/message_box.h"

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

}  // namespace test_support
