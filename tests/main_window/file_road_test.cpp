// The file road: File > Open, File > Convert, the pane pickers and the Size menu.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/pictures/picture_files.h"
#include "platform/system/path_separator.h"
#include "tests/main_window/file_road_fixture.h"

namespace zentrova {
namespace {

using platform::Bitmap;
using platform::PixelFormat;
using platform::RGB;
using test_support::ReadBytes;

TEST_F(FileRoad, OpeningAPictureAndAcceptingTheOfferedNameWritesAnIconBesideIt) {
    const std::string photo = MakePicture("photo.jpg");
    const auto before = ReadBytes(photo);
    Open(photo, photo);  // the save dialog starts at the opened file's name

    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(dialogs.requests[0].title, "Open...");
    EXPECT_EQ(dialogs.requests[0].filter,
              "All picture files (*.JPG, *.JPEG, *.GIF, *.BMP, *.CUR, *.ICO)|"
              "*.JPG;*.JPEG;*.GIF;*.BMP;*.CUR;*.ICO");
    EXPECT_EQ(dialogs.requests[1].mode, platform::FileDialogMode::Save);
    EXPECT_EQ(dialogs.requests[1].title, "Save as...");
    EXPECT_EQ(dialogs.requests[1].filter, "All files (*.*)|*.*");
    EXPECT_EQ(dialogs.requests[1].fileName, photo);

    EXPECT_TRUE(Main().SourceIsPicture);
    EXPECT_TRUE(Main().mnuConvert.Enabled());
    EXPECT_EQ(Main().SavePath, photo + ".ICO");
    EXPECT_EQ(ReadBytes(photo), before) << "the source is never overwritten";
    const platform::Picture icon = platform::LoadPicture(photo + ".ICO");
    ASSERT_EQ(icon.Type(), platform::PictureType::Icon);
    EXPECT_EQ(icon.Icon()->mask.At(0, 0), 1u);
    EXPECT_EQ(icon.Icon()->mask.At(2, 3), 0u);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(FileRoad, OpeningAnIconWritesABitmapWithTheBmpExtension) {
    const std::string icon = MakeIcon("x.ico");
    Open(icon, icon);
    EXPECT_FALSE(Main().SourceIsPicture);
    EXPECT_EQ(Main().SavePath, icon + ".BMP");
    const platform::Picture written = platform::LoadPicture(icon + ".BMP");
    EXPECT_EQ(written.Type(), platform::PictureType::Bitmap);
    EXPECT_EQ(written.Width(), 32);
    EXPECT_EQ(Main().Picture3.Width(), 36);
    EXPECT_TRUE(Main().Picture1.GetPicture().SameObject(Main().imgPreview.GetPicture()))
        << "both source panes show the opened file";
}

TEST_F(FileRoad, SettlesTheExtensionAsTheExampleTableGivesIt) {
    const std::string photo = MakePicture("photo.bmp");
    const std::string icon = MakeIcon("icon.ico");
    struct Case {
        const std::string& opened;
        const char* chosen;
        const char* used;
    } cases[] = {
        {photo, "logo", "logo.ICO"},     {photo, "logo.ico", "logo.ico"},
        {photo, "LOGO.Ico", "LOGO.Ico"}, {photo, "logo.jpg", "logo.jpg.ICO"},
        {photo, ".ico", ".ico.ICO"},     {icon, "x.bmp", "x.bmp"},
        {icon, "x.ico", "x.ico.BMP"},
    };
    for (const Case& c : cases) {
        Open(c.opened, dir.File(c.chosen));
        EXPECT_EQ(Main().SavePath, dir.File(c.used)) << c.chosen;
        EXPECT_TRUE(std::filesystem::exists(dir.File(c.used))) << c.used;
    }
}

TEST_F(FileRoad, ANameWithoutAFolderBecomesTheFolderPart) {
    const std::string photo = MakePicture("photo.bmp");
    Open(photo, "out");
    EXPECT_EQ(Main().SavePath, std::string("out") + platform::kPathSeparator + ".ICO");
}

TEST_F(FileRoad, CancellingTheOpenDialogDoesNothing) {
    Open("", std::nullopt);
    dialogs.Answer(std::nullopt);
    Main().mnuOpen.Click();
    EXPECT_EQ(dialogs.requests.size(), 2u) << "no save dialog followed";
    EXPECT_FALSE(Main().mnuConvert.Enabled());
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(Main().imgPreview.GetPicture().IsEmpty());
}

TEST_F(FileRoad, CancellingTheSaveDialogWritesNothingButTheFileIsShown) {
    Main().mnuSize[3].Click();  // 48x48
    const std::string photo = MakePicture("photo.bmp");
    Open(photo, std::nullopt);
    EXPECT_EQ(Main().SavePath, "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
    EXPECT_EQ(Main().Picture1.Width(), 52);
    EXPECT_EQ(Main().Picture3.Height(), 52);
    EXPECT_FALSE(Main().Picture3.GetPicture().IsEmpty());
}

TEST_F(FileRoad, AMissingOrHiddenFileIsReportedAndChangesNothing) {
    for (const std::string& name : {dir.File("nowhere.jpg"), MakePicture(".hidden.jpg")}) {
        Messages().clear();
        dialogs.Answer(name);
        Main().mnuOpen.Click();
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0],
                  (test_support::ShownMessage{"File " + name + " does not exist!", 16, "Error"}));
        EXPECT_FALSE(Main().mnuConvert.Enabled());
        EXPECT_EQ(Main().BrowseDialog.FileName, name) << "the next dialog starts from it";
    }
}

TEST_F(FileRoad, AFileThatIsNotAPictureIsReportedAndChangesNothing) {
    const std::string photo = MakePicture("photo.bmp");
    Open(photo, dir.File("first"));
    const platform::Picture shown = Main().imgPreview.GetPicture();
    Messages().clear();

    test_support::WriteBytes(dir.File("notes.ico"), {'n', 'o', 't', 'e', 's'});
    dialogs.Answer(dir.File("notes.ico"));
    Main().mnuOpen.Click();

    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].prompt, "File " + dir.File("notes.ico") + " is not a valid picture!");
    EXPECT_EQ(Messages()[0].style, 16);
    EXPECT_EQ(Messages()[0].title, "Error");
    EXPECT_TRUE(Main().SourceIsPicture) << "still the picture's";
    EXPECT_TRUE(Main().imgPreview.GetPicture().SameObject(shown));
    EXPECT_FALSE(std::filesystem::exists(dir.File("notes.ico.BMP")));
    EXPECT_EQ(dialogs.requests.back().mode, platform::FileDialogMode::Open) << "no save dialog";
}

TEST_F(FileRoad, ACursorFileTakesThePictureRoad) {
    const std::string cursor = dir.File("arrow.cur");
    std::filesystem::copy_file(test_support::CorporaDir() / "pillow-ico-cur" / "deerstalker.cur",
                               cursor);
    Open(cursor, cursor);
    EXPECT_TRUE(Main().SourceIsPicture);
    EXPECT_EQ(Main().SavePath, cursor + ".ICO");
    EXPECT_EQ(platform::LoadPicture(cursor + ".ICO").Type(), platform::PictureType::Icon);
}

TEST_F(FileRoad, TheDialogKeepsItsTitleAcrossUses) {
    dialogs.Answer(std::nullopt);
    Main().Picture1.Click();
    EXPECT_EQ(TitleOfLastDialog(), "Open");
    EXPECT_EQ(dialogs.requests.back().filter, "All picture files (*.JPG)|*.JPG");

    const std::string photo = MakePicture("photo.bmp");
    Open(photo, std::nullopt);
    EXPECT_EQ(TitleOfLastDialog(), "Save as...");

    dialogs.Answer(std::nullopt);
    Main().Picture3.Click();
    EXPECT_EQ(TitleOfLastDialog(), "Save as...") << "a picker sets only the filter";
    EXPECT_EQ(dialogs.requests.back().filter, "All icon files (*.ICO)|*.ICO");
}

TEST_F(FileRoad, PickersLoadStraightIntoTheirPaneAndChangeNoSharedState) {
    Main().mnuSize[0].Click();
    const std::string photo = MakePicture("photo.bmp");
    Main().Picture2.SetPicture(platform::Picture::FromBitmap(Bitmap(4, 4, PixelFormat::Colour)));
    dialogs.Answer(photo);
    Main().Picture1.Click();
    EXPECT_FALSE(Main().Picture1.GetPicture().IsEmpty());
    EXPECT_TRUE(Main().Picture2.GetPicture().IsEmpty());
    EXPECT_EQ(Main().Picture1.Width(), 36) << "36 whatever the size";
    EXPECT_EQ(Main().IconSize, 16);
    EXPECT_FALSE(Main().mnuConvert.Enabled());
    EXPECT_TRUE(Main().imgPreview.GetPicture().IsEmpty());

    const std::string icon = MakeIcon("icon.ico");
    dialogs.Answer(icon);
    Main().Picture3.Click();
    EXPECT_EQ(Main().Picture3.Width(), 36) << "sized by its 32x32 picture";

    dialogs.Answer(dir.File("missing.ico"));
    Main().Picture3.Click();
    EXPECT_TRUE(Main().Picture3.GetPicture().IsEmpty());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(FileRoad, TheSizeMenuMovesItsCheckAndResizesTheSourcePanes) {
    const int expected[] = {20, 28, 36, 52, 68};
    for (int index = 0; index < 5; ++index) {
        Main().mnuSize[index].Click();
        for (int item = 0; item < 5; ++item)
            EXPECT_EQ(Main().mnuSize[item].Checked(), item == index);
        EXPECT_EQ(Main().Picture1.Width(), expected[index]);
        EXPECT_EQ(Main().Picture3.Height(), expected[index]);
        EXPECT_EQ(Main().Picture2.Width(), 36) << "result panes keep their size";
    }
}

}  // namespace
}  // namespace zentrova
