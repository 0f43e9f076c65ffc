// Dropping a file on the main window's real widgets (Qt's offscreen platform).
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "app/open_from_desktop.h"
#include "platform/pictures/picture_files.h"
#include "tests/support/form_windows.h"
#include "tests/support/qt_main_window_fixture.h"

namespace zentrova {
namespace {

class FileDrop : protected test_support::UserDialogs,
                 public test_support::QtMainWindowTest<PresetFileDialogs> {
  protected:
    FileDrop() : QtMainWindowTest(realDialogs) {
        OpenDroppedFiles(form, dialogs);
        form.Show();
        window = test_support::ShownWindow(form);
    }

    std::string MakePicture(const std::string& name) {
        platform::Bitmap pixels(40, 40, platform::PixelFormat::Colour, platform::RGB(0, 99, 0));
        pixels.Set(3, 4, platform::RGB(250, 250, 0));
        platform::SavePicture(platform::Picture::FromBitmap(pixels), dir.File(name));
        return dir.File(name);
    }
    static std::unique_ptr<QMimeData> Files(const QList<QUrl>& urls) {
        auto data = std::make_unique<QMimeData>();
        data->setUrls(urls);
        return data;
    }
    // The drag enters over the picture pane; true when the window would take it.
    bool Enter(const QMimeData& data) {
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(window, &enter);
        return enter.isAccepted();
    }
    bool Drop(const QMimeData& data) {
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &drop);
        QCoreApplication::processEvents();
        return drop.isAccepted();
    }
};

TEST_F(FileDrop, OpensADroppedPictureAsIfChosenInTheOpenDialog) {
    ASSERT_NE(window, nullptr);
    const std::string photo = MakePicture("dropped photo.bmp");
    const auto data = Files({QUrl::fromLocalFile(QString::fromStdString(photo))});
    realDialogs.Answer(photo);

    EXPECT_TRUE(Enter(*data));
    EXPECT_TRUE(Drop(*data));

    ASSERT_EQ(realDialogs.requests.size(), 1u) << "only the Save dialog is shown";
    EXPECT_EQ(realDialogs.requests[0].title, "Save as...");
    EXPECT_EQ(realDialogs.requests[0].fileName, photo);
    EXPECT_TRUE(messageBoxes.shown.empty());
    const platform::Picture icon = platform::LoadPicture(photo + ".ICO");
    ASSERT_EQ(icon.Type(), platform::PictureType::Icon);
    EXPECT_EQ(platform::ColourOf(icon.Icon()->colour.At(3, 4)), platform::RGB(250, 250, 0));
    EXPECT_EQ(icon.Icon()->mask.At(0, 0), 1u);
}

TEST_F(FileDrop, RefusesAnythingButOneLocalFile) {
    ASSERT_NE(window, nullptr);
    const QUrl a = QUrl::fromLocalFile(QString::fromStdString(MakePicture("a.bmp")));
    const QUrl b = QUrl::fromLocalFile(QString::fromStdString(MakePicture("b.bmp")));
    std::vector<std::unique_ptr<QMimeData>> drags;
    drags.push_back(Files({a, b}));
    drags.push_back(Files({QUrl("https://example.org/a.bmp")}));
    drags.push_back(std::make_unique<QMimeData>());
    drags.back()->setText(QString::fromStdString(dir.File("a.bmp")));
    for (const auto& data : drags) {
        EXPECT_FALSE(Enter(*data)) << data->formats().join(' ').toStdString();
        EXPECT_FALSE(Drop(*data));
    }
    EXPECT_TRUE(realDialogs.requests.empty());
    EXPECT_FALSE(form.mnuConvert.Enabled());
}

TEST_F(FileDrop, TakesNoDropWhileTheWindowIsDisabled) {
    ASSERT_NE(window, nullptr);
    const auto data = Files({QUrl::fromLocalFile(QString::fromStdString(MakePicture("a.bmp")))});
    form.SetEnabled(false);  // as while the About box is open
    EXPECT_FALSE(Enter(*data));
    EXPECT_FALSE(Drop(*data));
    form.SetEnabled(true);
    form.FileDropped = nullptr;
    EXPECT_FALSE(Enter(*data)) << "a form that takes no files";
    EXPECT_TRUE(realDialogs.requests.empty());
    EXPECT_TRUE(messageBoxes.shown.empty());
}

}  // namespace
}  // namespace zentrova
