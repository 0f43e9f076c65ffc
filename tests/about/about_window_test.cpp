// The About dialog in real widgets: keys, focus, and the main window it disables.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "about/frm_about.h"
#include "platform/forms/menu_item.h"
#include "platform/qt/form_window.h"
#include "platform/qt/qt_runtime.h"
#include "tests/about/about_fixture.h"
#include "tests/support/form_windows.h"

namespace zentrova::testing {
namespace {

// Stands in for the main window: Help > About (F1) opens the dialog as the real one does,
// and File > Exit (Ctrl+X) counts the presses that reach it.
class MainStandIn : public platform::Form {
  public:
    explicit MainStandIn(platform::Services& services) : Form(services, "frmMain") {
        SetCaption("Zentrova");
        SetClientSize(200, 100);
        mnuFile.Add(mnuExit);
        mnuHelp.Add(mnuAbout);
        AddMenu(mnuFile);
        AddMenu(mnuHelp);
        mnuExit.Click = [this] { ++exitClicks; };
        mnuAbout.Click = [this] {
            SetEnabled(false);
            if (!about || !about->IsLoaded()) {
                about = std::make_unique<frmAbout>(this->services(), *this, kRecord);
            }
            about->Show();
        };
    }

    platform::MenuItem mnuFile{"mnuFile", "&File"};
    platform::MenuItem mnuExit{"mnuExit", "&Exit", "Ctrl+X"};
    platform::MenuItem mnuHelp{"mnuHelp", "&Help"};
    platform::MenuItem mnuAbout{"mnuAbout", "&About", "F1"};
    std::unique_ptr<frmAbout> about;
    int exitClicks = 0;
};

class AboutWindowTest : public ::testing::Test,
                        protected test_support::FormServices<platform::QtRuntime, NoFileDialogs> {
  protected:
    void SetUp() override {
        registry = platform::Registry::FromText(
            "Windows Registry Editor Version 5.00\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
            "\"PATH\"=\"/usr/bin/sysinfo-tool\"\n");
        shell.installed = {"/usr/bin/sysinfo-tool"};
        mainWindow = test_support::ShowActive(main);
        ASSERT_NE(mainWindow, nullptr);
    }

    // F1 on the main window; the dialog's window, active.
    platform::FormWindow* OpenAbout() {
        QTest::keyClick(mainWindow, Qt::Key_F1);
        if (!main.about) return nullptr;
        platform::FormWindow* window = test_support::ShownWindow(*main.about);
        if (window) test_support::Activate(*window);
        return window;
    }

    // Shortcuts and clicks reach the main window only while it is enabled.
    bool MainTakesInput() {
        const int before = main.exitClicks;
        QTest::keyClick(mainWindow, Qt::Key_X, Qt::ControlModifier);
        return main.exitClicks == before + 1;
    }

    bool AboutIsOpen() const { return main.about && test_support::ShownWindow(*main.about); }

    MainStandIn main{services};
    platform::FormWindow* mainWindow = nullptr;
};

TEST_F(AboutWindowTest, OpensWithFocusOnOkAndTheMainWindowIgnoringInput) {
    platform::FormWindow* window = OpenAbout();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QString("About Zentrova..."));
    EXPECT_EQ(QApplication::focusWidget(), window->findChild<QWidget*>("cmdOK"));
    EXPECT_FALSE(mainWindow->TakesInput());
    EXPECT_FALSE(MainTakesInput());
    QTest::keyClick(mainWindow, Qt::Key_F1);
    EXPECT_EQ(test_support::ShownWindow(*main.about), window)
        << "a second F1 cannot reach the menu";
}

TEST_F(AboutWindowTest, TabGoesFromOkToTheIconToSystemInfoAndBack) {
    ASSERT_NE(OpenAbout(), nullptr);
    std::vector<std::string> order;
    for (int i = 0; i < 4; ++i) {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        order.push_back(QApplication::focusWidget()->objectName().toStdString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"cmdOK", "picIcon", "cmdSysInfo", "cmdOK"}));
}

TEST_F(AboutWindowTest, EscapeAndEnterCloseThroughOk) {
    platform::FormWindow* window = OpenAbout();
    ASSERT_NE(window, nullptr);
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(AboutIsOpen());
    EXPECT_TRUE(mainWindow->TakesInput());
    test_support::Activate(*mainWindow);
    EXPECT_TRUE(MainTakesInput());

    window = OpenAbout();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(main.about->lblVersion.Caption(), "v1.038") << "loaded afresh";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(AboutIsOpen());
    test_support::Activate(*mainWindow);
    EXPECT_TRUE(MainTakesInput());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(AboutWindowTest, EnterOnSystemInfoPressesThatButtonAndTheDialogStays) {
    platform::FormWindow* window = OpenAbout();
    ASSERT_NE(window, nullptr);
    auto* sysInfo = window->findChild<QPushButton*>("cmdSysInfo");
    ASSERT_NE(sysInfo, nullptr);
    EXPECT_EQ(sysInfo->text(), QString("&System Info..."));
    sysInfo->setFocus();
    QTest::keyClick(sysInfo, Qt::Key_Return);
    EXPECT_EQ(shell.calls,
              (std::vector<test_support::ScriptedShell::Call>{{"/usr/bin/sysinfo-tool", 1}}));
    EXPECT_TRUE(AboutIsOpen());
    EXPECT_FALSE(mainWindow->TakesInput());

    // Alt+S presses it too; with the tool gone the user is told.
    shell.installed.clear();
    QTest::keyClick(window, Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE_WITH_TIMEOUT(shell.calls.size(), std::size_t{2}, 1000);
    ASSERT_EQ(messageBoxes.shown.size(), 1u);
    EXPECT_EQ(messageBoxes.shown[0].prompt, "Failed to start System Information!");
    EXPECT_TRUE(AboutIsOpen());
}

TEST_F(AboutWindowTest, TheTitleBarCloseButtonGivesTheMainWindowItsInputBack) {
    platform::FormWindow* window = OpenAbout();
    ASSERT_NE(window, nullptr);
    window->close();  // the title-bar button, the system menu and Alt+F4 all come here
    EXPECT_FALSE(AboutIsOpen());
    EXPECT_TRUE(mainWindow->TakesInput());
    test_support::Activate(*mainWindow);
    EXPECT_TRUE(MainTakesInput());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace zentrova::testing
