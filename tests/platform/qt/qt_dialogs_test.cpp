#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTest>
#include <QTimer>

#include "platform/qt/qt_file_dialogs.h"
#include "platform/qt/qt_message_boxes.h"
#include "tests/support/test_files.h"

namespace platform {
namespace {

TEST(QtFileDialogs, FilterEntriesBecomeNameFiltersWithSpaceSeparatedPatterns) {
    EXPECT_EQ(QtFileDialogs::NameFilters("All picture files (*.JPG)|*.JPG"),
              QStringList{"All picture files (*.JPG) (*.JPG)"});
    EXPECT_EQ(QtFileDialogs::NameFilters("Pictures|*.JPG;*.JPEG;*.GIF|Icons|*.ICO"),
              (QStringList{"Pictures (*.JPG *.JPEG *.GIF)", "Icons (*.ICO)"}));
    EXPECT_TRUE(QtFileDialogs::NameFilters("").isEmpty());
    EXPECT_TRUE(QtFileDialogs::NameFilters("description without patterns").isEmpty());
}

// The names the dialog lists in its folder once its file system model has read it.
QStringList ListedNames(QFileDialog& dialog, const QString& folder) {
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!model) return {};
    QStringList names;
    for (int attempt = 0; attempt < 100 && names.isEmpty(); ++attempt) {
        QTest::qWait(20);
        const QModelIndex root = model->index(folder);
        for (int row = 0; row < model->rowCount(root); ++row) {
            const QModelIndex index = model->index(row, 0, root);
            if (model->flags(index) & Qt::ItemIsEnabled) names << model->fileName(index);
        }
    }
    names.sort();
    return names;
}

TEST(QtFileDialogs, PatternsMatchNamesInAnyLetterCase) {
    test_support::TempDir dir;
    for (const char* name : {"photo.jpg", "SHOUT.JPG", "notes.txt", "icon.ico"}) {
        test_support::WriteBytes(dir.Path() / name, {1});
    }
    QFileDialog dialog;
    QtFileDialogs::Configure(
        dialog, FileDialogRequest{FileDialogMode::Open, "Open...",
                                  "All picture files (*.JPG)|*.JPG", dir.File("photo.jpg")});
    EXPECT_EQ(dialog.windowTitle(), QString("Open..."));
    EXPECT_EQ(QFileInfo(dialog.directory().absolutePath()),
              QFileInfo(QString::fromStdString(dir.Path().string())));
    EXPECT_EQ(ListedNames(dialog, QString::fromStdString(dir.Path().string())),
              (QStringList{"SHOUT.JPG", "photo.jpg"}));
}

TEST(QtFileDialogs, SaveReturnsTheChosenPathWithoutAskingAndCancelReturnsNothing) {
    test_support::TempDir dir;
    test_support::WriteBytes(dir.Path() / "old.ico", {1});
    QtFileDialogs dialogs;
    QString seenTitle;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seenTitle = dialog->windowTitle();
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        static_cast<QDialog*>(dialog)->accept();  // the name it started with
    });
    const auto saved = dialogs.Show(FileDialogRequest{
        FileDialogMode::Save, "Save as...", "All icon files (*.ICO)|*.ICO", dir.File("old.ico")});
    EXPECT_EQ(seenTitle, QString("Save as..."));
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(std::filesystem::path(*saved), dir.Path() / "old.ico");

    QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) dialog->close();
    });
    EXPECT_EQ(dialogs.Show(FileDialogRequest{FileDialogMode::Open, "Open", "", ""}), std::nullopt);
}

TEST(QtMessageBoxes, StyleChoosesTheIcon) {
    EXPECT_EQ(QtMessageBoxes::IconForStyle(vbCritical), QMessageBox::Critical);
    EXPECT_EQ(QtMessageBoxes::IconForStyle(vbExclamation), QMessageBox::Warning);
    EXPECT_EQ(QtMessageBoxes::IconForStyle(vbOKOnly), QMessageBox::NoIcon);
}

}  // namespace
}  // namespace platform
