// The main window on real widgets (Qt's offscreen platform), with scripted file dialogs.
#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>

#include "main_window/frm_main.h"
#include "platform/pictures/picture_files.h"
#include "platform/qt/qt_file_dialogs.h"
#include "platform/qt/qt_message_boxes.h"
#include "tests/support/form_windows.h"
#include "tests/support/modal_answer.h"
#include "tests/support/qt_main_window_fixture.h"
#include "tests/support/test_files.h"

namespace zentrova {
namespace {

using platform::Bitmap;
using platform::PixelFormat;
using platform::RGB;

class MainWindowGui : public test_support::QtMainWindowTest<> {
  protected:
    MainWindowGui() { window = test_support::ShowActive(form); }

    QAction* Action(const char* name) { return window->findChild<QAction*>(name); }
    QWidget* Widget(const char* name) { return window->findChild<QWidget*>(name); }
};

TEST_F(MainWindowGui, ShowsTheDefinedClientAreaUnderItsMenuBar) {
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Widget("ClientArea")->width(), 132);
    EXPECT_EQ(Widget("ClientArea")->height(), 90);
    EXPECT_EQ(window->windowTitle(), "Zentrova");
    EXPECT_FALSE(Action("mnuConvert")->isEnabled());
    EXPECT_TRUE(Action("mnuSize(2)")->isChecked());
    QWidget* picture1 = Widget("Picture1");
    ASSERT_NE(picture1, nullptr);
    EXPECT_EQ(picture1->geometry(), QRect(10, 10, 36, 36));
    EXPECT_EQ(picture1->toolTip(), "Picture");
}

TEST_F(MainWindowGui, CtrlXEndsTheProgramButNotWhileTheWindowIsDisabled) {
    form.Picture1.SetPicture(platform::Picture::FromBitmap(Bitmap(4, 4, PixelFormat::Colour)));
    form.SetEnabled(false);
    QTest::keyClick(window, Qt::Key_X, Qt::ControlModifier);
    EXPECT_FALSE(runtime.Ended());
    EXPECT_FALSE(form.Picture1.GetPicture().IsEmpty());

    form.SetEnabled(true);
    QTest::keyClick(window, Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(runtime.Ended());
    EXPECT_TRUE(form.Picture1.GetPicture().IsEmpty());
}

TEST_F(MainWindowGui, F1OpensTheAboutBoxAndDisablesTheWindow) {
    QTest::keyClick(window, Qt::Key_F1);
    EXPECT_FALSE(form.Enabled());
    QTest::keyClick(window, Qt::Key_F1);  // ignored while disabled
    EXPECT_FALSE(form.Enabled());
}

TEST_F(MainWindowGui, WalksTheWholeRoadFromOpenToAWrittenIcon) {
    Bitmap pixels(40, 40, PixelFormat::Colour, RGB(255, 255, 0));
    pixels.Set(5, 6, RGB(0, 0, 255));
    const std::string photo = dir.File("photo.gif.bmp");
    platform::SavePicture(platform::Picture::FromBitmap(pixels), photo);
    dialogs.Answer(photo);
    dialogs.Answer(photo);

    Action("mnuOpen")->trigger();

    EXPECT_TRUE(messageBoxes.shown.empty());
    EXPECT_TRUE(Action("mnuConvert")->isEnabled());
    const platform::Picture icon = platform::LoadPicture(photo + ".ICO");
    ASSERT_EQ(icon.Type(), platform::PictureType::Icon);
    EXPECT_EQ(icon.Icon()->mask.At(0, 0), 1u);
    EXPECT_EQ(platform::ColourOf(icon.Icon()->colour.At(5, 6)), RGB(0, 0, 255));

    // What the person sees: the converted icon over the pane's white, blue where it was blue.
    QWidget* picture2 = Widget("Picture2");
    ASSERT_NE(picture2, nullptr);
    const QImage shown = picture2->grab().toImage();
    EXPECT_EQ(shown.pixelColor(2 + 0, 2 + 0), QColor(255, 255, 255));
    EXPECT_EQ(shown.pixelColor(2 + 5, 2 + 6), QColor(0, 0, 255));
}

TEST_F(MainWindowGui, TheConvertedPicturesRecolouringIsGoneOnceTheWindowIsRestored) {
    // An icon with transparent corners, made by the picture road; then the icon road.
    const std::string photo = dir.File("photo.bmp");
    platform::SavePicture(
        platform::Picture::FromBitmap(Bitmap(32, 32, PixelFormat::Colour, RGB(255, 255, 0))),
        photo);
    for (const std::string& name : {photo, photo + ".ICO"}) {
        dialogs.Answer(name);
        dialogs.Answer(name);
        Action("mnuOpen")->trigger();
    }
    ASSERT_TRUE(messageBoxes.shown.empty());
    const QPoint corner = Widget("Picture4")->mapTo(window, QPoint(2, 2));
    QTest::qWait(20);
    EXPECT_EQ(test_support::OnScreen(*window).pixelColor(corner), QColor(240, 240, 240));

    window->showMinimized();
    QTest::qWait(20);
    window->showNormal();
    QTest::qWait(20);
    EXPECT_EQ(test_support::OnScreen(*window).pixelColor(corner), QColor(255, 255, 255))
        << "the snapshot shows again";
}

TEST_F(MainWindowGui, ClickingAPaneRunsItsPicker) {
    dialogs.Answer(std::nullopt);
    QTest::mouseClick(Widget("Picture3"), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].filter, "All icon files (*.ICO)|*.ICO");
}

// The real Qt dialogs and message boxes, answered by typing as a person would.
class MainWindowWithRealDialogs
    : public ::testing::Test,
      protected test_support::FormServices<platform::QtRuntime, platform::QtFileDialogs,
                                           platform::QtMessageBoxes> {
  protected:
    MainWindowWithRealDialogs() { form.Show(); }
    ~MainWindowWithRealDialogs() override {
        if (!runtime.Ended()) runtime.End();
    }

    test_support::TempDir dir;
    frmMain form{services};
};

// Enters a name in a file dialog and presses Enter; notes what a message box says.
struct Person {
    std::string typed;
    QString boxText, boxTitle;
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    int boxes = 0;
    int dialogs = 0;

    void Answer(QWidget* modal) {
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            // A dialog that comes back after refusing the name is given up.
            if (++dialogs > 1) {
                dialog->reject();
                return;
            }
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(name, nullptr);
            // Pasted whole, so that no completion list comes up to take the Enter.
            name->setText(QString::fromStdString(typed));
            QTest::keyClick(name, Qt::Key_Return);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            ++boxes;
            boxText = box->text();
            boxTitle = box->windowTitle();
            boxIcon = box->icon();
            box->accept();
        }
    }
};

TEST_F(MainWindowWithRealDialogs, OpeningATypedNameOfAMissingFileShowsTheProgramsMessage) {
    Person person{dir.File("nowhere.jpg"), {}, {}};
    test_support::ModalAnswer answer([&](QWidget* modal) { person.Answer(modal); });
    form.mnuOpen.Click();
    EXPECT_EQ(person.boxes, 1);
    EXPECT_EQ(person.boxText.toStdString(), "File " + dir.File("nowhere.jpg") + " does not exist!");
    EXPECT_EQ(person.boxTitle, "Error");
    EXPECT_EQ(person.boxIcon, QMessageBox::Critical);
    EXPECT_FALSE(form.mnuConvert.Enabled());
}

TEST_F(MainWindowWithRealDialogs, APanePickerGivenAMissingNameLeavesItsPaneBlankWithoutAWord) {
    form.Picture1.SetPicture(platform::Picture::FromBitmap(Bitmap(4, 4, PixelFormat::Colour)));
    Person person{dir.File("nowhere.jpg"), {}, {}};
    test_support::ModalAnswer answer([&](QWidget* modal) { person.Answer(modal); });
    form.Picture1.Click();
    EXPECT_EQ(person.boxes, 0);
    EXPECT_TRUE(form.Picture1.GetPicture().IsEmpty());
    EXPECT_EQ(form.BrowseDialog.FileName, dir.File("nowhere.jpg"));
}

}  // namespace
}  // namespace zentrova
