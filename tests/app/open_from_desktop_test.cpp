// A file named on the command line or dropped on the window: File > Open with that name.
#include "app/open_from_desktop.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/dialog_path.h"
#include "main_window/frm_main.h"
#include "platform/forms/headless_runtime.h"
#include "platform/pictures/picture_files.h"
#include "platform/system/path_separator.h"
#include "tests/support/form_services.h"
#include "tests/support/test_files.h"

namespace zentrova {
namespace {

namespace fs = std::filesystem;

class OpenFromDesktop
    : public ::testing::Test,
      protected test_support::UserDialogs,
      protected test_support::FormServices<platform::HeadlessRuntime, PresetFileDialogs> {
  protected:
    OpenFromDesktop() : FormServices(realDialogs) { form.Show(); }

    std::string MakePicture(const std::string& name) {
        platform::Bitmap pixels(40, 40, platform::PixelFormat::Colour, platform::RGB(9, 9, 9));
        pixels.Set(1, 1, platform::RGB(200, 0, 0));
        platform::SavePicture(platform::Picture::FromBitmap(pixels), dir.File(name));
        return dir.File(name);
    }

    test_support::TempDir dir;
    frmMain form{services};
};

TEST_F(OpenFromDesktop, AnswersTheOpenDialogAndLeavesTheSaveDialogToTheUser) {
    const std::string photo = MakePicture("photo.bmp");
    realDialogs.Answer(photo);  // Enter in the Save dialog
    dialogs.OpenFile(form, photo);

    ASSERT_EQ(realDialogs.requests.size(), 1u);
    EXPECT_EQ(realDialogs.requests[0].mode, platform::FileDialogMode::Save);
    EXPECT_EQ(realDialogs.requests[0].fileName, photo) << "the offered name is the opened file";
    EXPECT_EQ(form.BrowseDialog.DialogTitle, "Save as...");
    EXPECT_TRUE(messageBoxes.shown.empty());
    EXPECT_EQ(form.SavePath, photo + ".ICO");
    EXPECT_EQ(platform::LoadPicture(photo + ".ICO").Type(), platform::PictureType::Icon);
}

TEST_F(OpenFromDesktop, AsksTheUserAgainAtTheNextOpenDialog) {
    const std::string photo = MakePicture("photo.bmp");
    realDialogs.Answer(std::nullopt);  // the Save dialog cancelled
    dialogs.OpenFile(form, photo);
    EXPECT_TRUE(form.mnuConvert.Enabled());
    EXPECT_TRUE(form.SavePath.empty());

    realDialogs.Answer(std::nullopt);
    form.Picture1_Click();
    ASSERT_EQ(realDialogs.requests.size(), 2u);
    EXPECT_EQ(realDialogs.requests[1].mode, platform::FileDialogMode::Open);
}

TEST_F(OpenFromDesktop, SaysSoWhenTheNamedFileIsMissing) {
    dialogs.OpenFile(form, dir.File("gone.jpg"));
    ASSERT_EQ(messageBoxes.shown.size(), 1u);
    EXPECT_EQ(messageBoxes.shown[0].prompt, "File " + dir.File("gone.jpg") + " does not exist!");
    EXPECT_TRUE(realDialogs.requests.empty());
}

TEST(DialogPath, GivesTheFullPathAsADialogWould) {
    const fs::path here = fs::current_path();
    EXPECT_EQ(DialogPath("photo.jpg"), (here / "photo.jpg").string());
    EXPECT_EQ(DialogPath("a/./b/../photo.jpg"), (here / "a" / "photo.jpg").string());
    // From the root of the drive or file system the working folder is on.
    const std::string root = here.root_path().string(), separator = platform::kPathSeparator;
    EXPECT_EQ(DialogPath(root + "tmp" + separator + separator + "x.gif"),
              root + "tmp" + separator + "x.gif");
    EXPECT_EQ(DialogPath(""), "");
    // UTF-8 in and out, beyond any one code page: on Windows a path taken from plain chars
    // reads each byte as a character.
    EXPECT_EQ(DialogPath("\u03A9mega-\u00FC.gif"),
              here.string() + separator + "\u03A9mega-\u00FC.gif");
}

}  // namespace
}  // namespace zentrova
