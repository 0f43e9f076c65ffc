#include "platform/forms/common_dialog.h"

#include <gtest/gtest.h>

#include "platform/forms/message_box.h"
#include "tests/support/scripted_services.h"

namespace platform {
namespace {

using test_support::ScriptedFileDialogs;

TEST(CommonDialog, StartsTitledOpenWithNoFilterAndNoFileName) {
    ScriptedFileDialogs dialogs;
    dialogs.Answer(std::nullopt);
    CommonDialog dialog(dialogs);
    dialog.ShowOpen();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].mode, FileDialogMode::Open);
    EXPECT_EQ(dialogs.requests[0].title, "Open");
    EXPECT_EQ(dialogs.requests[0].filter, "");
    EXPECT_EQ(dialogs.requests[0].fileName, "");
}

TEST(CommonDialog, KeepsItsPropertiesBetweenUsesAndStartsAtTheLastChoice) {
    ScriptedFileDialogs dialogs;
    dialogs.Answer("/tmp/a.jpg");
    dialogs.Answer("/tmp/b.ico");
    dialogs.Answer(std::nullopt);
    dialogs.Answer("/tmp/c.bmp");
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
    test_support::RecordingMessageBoxes boxes;
    EXPECT_EQ(MsgBox(boxes, "File x does not exist!", vbCritical, "Error"), vbOK);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].prompt, "File x does not exist!");
    EXPECT_EQ(boxes.shown[0].style, 16);
    EXPECT_EQ(boxes.shown[0].title, "Error");
}

}  // namespace
}  // namespace platform
