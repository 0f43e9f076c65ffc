#include "platform/forms/common_dialog.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "platform/forms/message_box.h"

namespace platform {
namespace {

// Answers each dialog with the next scripted choice and keeps what it was asked.
class ScriptedDialogs : public FileDialogService {
  public:
    std::optional<std::string> Show(const FileDialogRequest& request) override {
        requests.push_back(request);
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::optional<std::string>> answers;
    std::vector<FileDialogRequest> requests;
};

TEST(CommonDialog, StartsTitledOpenWithNoFilterAndNoFileName) {
    ScriptedDialogs dialogs;
    dialogs.answers = {std::nullopt};
    CommonDialog dialog(dialogs);
    dialog.ShowOpen();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].mode, FileDialogMode::Open);
    EXPECT_EQ(dialogs.requests[0].title, "Open");
    EXPECT_EQ(dialogs.requests[0].filter, "");
    EXPECT_EQ(dialogs.requests[0].fileName, "");
}

TEST(CommonDialog, KeepsItsPropertiesBetweenUsesAndStartsAtTheLastChoice) {
    ScriptedDialogs dialogs;
    dialogs.answers = {"/tmp/a.jpg", "/tmp/b.ico", std::nullopt, "/tmp/c.bmp"};
    CommonDialog dialog(dialogs);
    dialog.Filter = "All picture files (*.JPG)|*.JPG";
    dialog.DialogTitle = "Open...";
    dialog.ShowOpen();
    EXPECT_EQ(dialog.FileName, "/tmp/a.jpg");

    dialog.Filter = "All icon files (*.ICO)|*.ICO";
    dialog.ShowSave();
    EXPECT_EQ(dialog.FileName, "/tmp/b.ico");
    EXPECT_EQ(dialogs.requests[1].mode, FileDialogMode::Save);
    EXPECT_EQ(dialogs.requests[1].title, "Open...") << "the title of the last use";
    EXPECT_EQ(dialogs.requests[1].filter, "All icon files (*.ICO)|*.ICO");
    EXPECT_EQ(dialogs.requests[1].fileName, "/tmp/a.jpg");

    dialog.ShowOpen();
    EXPECT_EQ(dialog.FileName, "") << "a cancel empties FileName";
    EXPECT_EQ(dialogs.requests[2].fileName, "/tmp/b.ico");
    dialog.ShowOpen();
    EXPECT_EQ(dialogs.requests[3].fileName, "");
    EXPECT_EQ(dialog.Filter, "All icon files (*.ICO)|*.ICO");
}

TEST(MsgBox, PassesPromptStyleAndTitleToTheService) {
    struct Recorder : MessageBoxService {
        int Show(const std::string& p, int s, const std::string& t) override {
            prompt = p;
            style = s;
            title = t;
            return vbOK;
        }
        std::string prompt, title;
        int style = -1;
    } boxes;
    EXPECT_EQ(MsgBox(boxes, "File x does not exist!", vbCritical, "Error"), vbOK);
    EXPECT_EQ(boxes.prompt, "File x does not exist!");
    EXPECT_EQ(boxes.style, 16);
    EXPECT_EQ(boxes.title, "Error");
}

}  // namespace
}  // namespace platform
