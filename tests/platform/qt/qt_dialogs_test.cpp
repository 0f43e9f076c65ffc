#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/qt/qt_file_dialogs.h"
#include "platform/qt/qt_message_boxes.h"
#include "tests/support/modal_answer.h"
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

TEST(QtFileDialogs, TheTypeBoxShowsEachDescriptionAsWritten) {
    QFileDialog dialog;
    QtFileDialogs::Configure(
        dialog, FileDialogRequest{FileDialogMode::Open, "Open...",
                                  "All picture files (*.JPG, *.JPEG, *.GIF, *.BMP, *.CUR, *.ICO)|"
                                  "*.JPG;*.JPEG;*.GIF;*.BMP;*.CUR;*.ICO|All files (*.*)|*.*",
                                  ""});
    auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->count(), 2);
    EXPECT_EQ(types->itemText(0), "All picture files (*.JPG, *.JPEG, *.GIF, *.BMP, *.CUR, *.ICO)");
    EXPECT_EQ(types->itemText(1), "All files (*.*)");
}

TEST(QtFileDialogs, OpenReturnsATypedNameOfAFileThatDoesNotExist) {
    test_support::TempDir dir;
    test_support::WriteBytes(dir.Path() / "there.jpg", {1});
    QtFileDialogs dialogs;
    QString button;
    int shown = 0;
    test_support::ModalAnswer answer([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        // A box of the toolkit's own, or the dialog back after it: give up.
        if (!dialog || ++shown > 1) {
            ADD_FAILURE() << "the dialog refused the name";
            static_cast<QDialog*>(modal)->reject();
            return;
        }
        // As a person would: once the folder is listed (with the start name selected).
        ListedNames(*dialog, QString::fromStdString(dir.Path().string()));
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->selectAll();
        QTest::keyClicks(name, "nowhere.jpg");
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        ASSERT_NE(buttons->button(QDialogButtonBox::Open), nullptr);
        button = buttons->button(QDialogButtonBox::Open)->text();
        QTest::keyClick(name, Qt::Key_Return);
    });
    const auto chosen = dialogs.Show(FileDialogRequest{
        FileDialogMode::Open, "Open...", "All picture files (*.JPG)|*.JPG", dir.File("there.jpg")});
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(std::filesystem::path(*chosen), dir.Path() / "nowhere.jpg");
    EXPECT_EQ(button.remove('&'), "Open");
}

TEST(QtMessageBoxes, ThePromptIsShownAsPlainText) {
    const std::string prompt = "File /tmp/.h<b>x.jpg does not exist!";
    QtMessageBoxes boxes;
    Qt::TextFormat format = Qt::AutoText;
    QString shown;
    test_support::ModalAnswer answer([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        if (auto* label = box->findChild<QLabel*>("qt_msgbox_label")) {
            format = label->textFormat();
            shown = label->text();
        }
        box->accept();
    });
    EXPECT_EQ(boxes.Show(prompt, vbCritical, "Error"), vbOK);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(shown.toStdString(), prompt);
}

TEST(QtMessageBoxes, StyleChoosesTheIcon) {
    EXPECT_EQ(QtMessageBoxes::IconForStyle(vbCritical), QMessageBox::Critical);
    EXPECT_EQ(QtMessageBoxes::IconForStyle(vbExclamation), QMessageBox::Warning);
    EXPECT_EQ(QtMessageBoxes::IconForStyle(vbOKOnly), QMessageBox::NoIcon);
}

}  // namespace
}  // namespace platform
