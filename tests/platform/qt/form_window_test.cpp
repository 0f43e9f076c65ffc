#include "platform/qt/form_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "platform/qt/qt_runtime.h"
#include "tests/platform/qt/test_forms.h"
#include "tests/support/form_services.h"
#include "tests/support/form_windows.h"

namespace platform::test {
namespace {

using test_support::OnScreen;
using test_support::ShowActive;
using test_support::ShownWindow;

// Its file dialogs are never answered: each one is cancelled.
class FormWindowTest : public ::testing::Test, protected test_support::FormServices<QtRuntime> {
  protected:
    // The window's pieces, found by their object names.
    static QWidget* ClientArea(const FormWindow* window) {
        return window->findChild<QWidget*>("ClientArea");
    }
    static QMenuBar* MenuBar(const FormWindow* window) {
        return window->findChild<QMenuBar*>("MenuBar");
    }
    static QWidget* Widget(const FormWindow* window, const char* name) {
        return window->findChild<QWidget*>(name);
    }
    static QAction* Action(const FormWindow* window, const char* name) {
        return window->findChild<QAction*>(name);
    }
};

TEST_F(FormWindowTest, MainWindowHasAFixedClientAreaOf132By90UnderItsMenuBar) {
    MainLikeForm form(services);
    FormWindow* window = ShowActive(form);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(ClientArea(window)->size(), QSize(132, 90));
    ASSERT_NE(MenuBar(window), nullptr);
    EXPECT_EQ(ClientArea(window)->y(), MenuBar(window)->geometry().bottom() + 1);
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "the user cannot resize it";
    EXPECT_EQ(window->windowTitle(), QString("Zentrova"));
    EXPECT_EQ(window->windowIcon().pixmap(32, 32).toImage().pixelColor(5, 5), QColor(0, 128, 0));
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(FormWindowTest, ControlsSitAtTheirGeometryAndThoseBeyondTheClientAreaAreNotSeen) {
    MainLikeForm form(services);
    FormWindow* window = ShowActive(form);
    QWidget* picture1 = Widget(window, "Picture1");
    QWidget* picImage = Widget(window, "picImage");
    QWidget* command1 = Widget(window, "Command1");
    ASSERT_TRUE(picture1 && picImage && command1);
    EXPECT_EQ(picture1->geometry(), QRect(10, 10, 36, 36));
    EXPECT_EQ(command1->geometry(), QRect(110, 17, 90, 23));
    EXPECT_EQ(picImage->geometry(), QRect(250, 2, 36, 36));
    EXPECT_TRUE(picImage->visibleRegion().isEmpty());
    EXPECT_EQ(command1->visibleRegion().boundingRect().width(), 22);
    EXPECT_EQ(picture1->toolTip(), QString("Picture"));

    form.Picture1.SetAutoSize(true);
    form.Picture1.SetPicture(Picture::FromBitmap(Bitmap(16, 16, PixelFormat::Colour)));
    EXPECT_EQ(picture1->geometry(), QRect(10, 10, 20, 20)) << "the widget follows its model";
}

TEST_F(FormWindowTest, PanesAreSunkenAndLieAboveTheStretchedImage) {
    MainLikeForm form(services);
    FormWindow* window = ShowActive(form);
    const QImage shot = ClientArea(window)->grab().toImage();
    EXPECT_EQ(shot.pixelColor(9, 5), QColor(255, 0, 0)) << "image control, stretched";
    EXPECT_EQ(shot.pixelColor(87, 79), QColor(255, 0, 0));
    EXPECT_EQ(shot.pixelColor(100, 85), QColor(240, 240, 240)) << "form background";
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(160, 160, 160)) << "outer shadow";
    EXPECT_EQ(shot.pixelColor(11, 11), QColor(105, 105, 105)) << "inner dark shadow";
    EXPECT_EQ(shot.pixelColor(45, 45), QColor(255, 255, 255)) << "outer highlight";
    EXPECT_EQ(shot.pixelColor(44, 44), QColor(227, 227, 227)) << "inner light";
    EXPECT_EQ(shot.pixelColor(12, 12), QColor(255, 255, 255)) << "pane background above image";

    form.Picture1.SetAutoRedraw(true);
    form.Picture1.PSet(0, 0, RGB(0, 0, 255));
    QTest::qWait(20);
    EXPECT_EQ(ClientArea(window)->grab().toImage().pixelColor(12, 12), QColor(0, 0, 255));
}

TEST_F(FormWindowTest, MenusCarryAccessKeysChecksSeparatorsAndEnabledState) {
    MainLikeForm form(services);
    FormWindow* window = ShowActive(form);
    const QList<QAction*> bar = MenuBar(window)->actions();
    ASSERT_EQ(bar.size(), 3);
    EXPECT_EQ(QKeySequence::mnemonic(bar[0]->text()), QKeySequence(Qt::ALT | Qt::Key_F));
    EXPECT_EQ(QKeySequence::mnemonic(bar[1]->text()), QKeySequence(Qt::ALT | Qt::Key_S));

    const QList<QAction*> file = window->findChild<QMenu*>("mnuFile")->actions();
    ASSERT_EQ(file.size(), 4);
    EXPECT_EQ(file[0]->text(), QString("&Open"));
    EXPECT_TRUE(file[2]->isSeparator());
    EXPECT_EQ(file[3]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));

    form.mnuConvert.SetEnabled(false);
    EXPECT_FALSE(Action(window, "mnuConvert")->isEnabled());
    EXPECT_TRUE(Action(window, "mnuSize(2)")->isChecked());
    EXPECT_FALSE(Action(window, "mnuSize(0)")->isChecked());

    Action(window, "mnuSize(0)")->trigger();
    EXPECT_EQ(form.lastSize, 0);
    EXPECT_TRUE(Action(window, "mnuSize(0)")->isChecked());
    EXPECT_FALSE(Action(window, "mnuSize(2)")->isChecked());
    // An item of a control array is named with its Index.
    EXPECT_EQ(window->findChild<QMenu*>("mnuSizeM")->actions().value(4),
              Action(window, "mnuSize(4)"));
}

TEST_F(FormWindowTest, ShortcutsReachTheirHandlersOnlyWhileTheFormIsEnabled) {
    MainLikeForm form(services);
    FormWindow* window = ShowActive(form);
    QTest::keyClick(window, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_F1);
    EXPECT_EQ(form.exitClicks, 1);
    EXPECT_EQ(form.aboutClicks, 1);

    int command1Clicks = 0;
    form.Command1.Click = [&] { ++command1Clicks; };
    form.SetEnabled(false);
    EXPECT_FALSE(window->TakesInput());
    QTest::keyClick(window, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_F1);
    Action(window, "mnuExit")->trigger();
    QTest::mouseClick(Widget(window, "Picture1"), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(Widget(window, "Command1"), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClick(window, Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(form.exitClicks, 1);
    EXPECT_EQ(form.aboutClicks, 1);
    EXPECT_EQ(form.picture1Clicks, 0);
    EXPECT_EQ(command1Clicks, 0);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "Alt+F opened the File menu";
    // It looks as it did: nothing is greyed that was not greyed before.
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(MenuBar(window)->isEnabled());
    EXPECT_TRUE(Widget(window, "Command1")->isEnabled());

    form.SetEnabled(true);
    QTest::keyClick(window, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(form.exitClicks, 2);
}

TEST_F(FormWindowTest, TabGoesThroughButtonsAndPictureBoxesInTabIndexOrder) {
    MainLikeForm form(services);
    form.Command1.SetTabIndex(0);
    form.Picture3.SetTabIndex(1);
    form.picImage.SetTabIndex(2);  // outside the client area, and still a tab stop
    form.Picture1.SetTabIndex(3);
    FormWindow* window = ShowActive(form);
    std::vector<std::string> order;
    for (int i = 0; i < 5; ++i) {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        order.push_back(QApplication::focusWidget()->objectName().toStdString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"Command1", "Picture3", "picImage", "Picture1",
                                               "Command1"}));
    (void)window;
}

TEST_F(FormWindowTest, ClickingAPaneReachesItsClickHandler) {
    MainLikeForm form(services);
    FormWindow* window = ShowActive(form);
    QTest::mouseClick(Widget(window, "Picture1"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(form.picture1Clicks, 1);
    QTest::mouseClick(Widget(window, "Picture1"), Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(form.picture1Clicks, 1);
}

TEST_F(FormWindowTest, AWindowSystemRepaintDropsScreenOnlyDrawingAndTheProgramsOwnDoNot) {
    MainLikeForm form(services);
    form.Picture3.SetPicture(
        Picture::FromBitmap(Bitmap(32, 32, PixelFormat::Colour, RGB(0, 0, 255))));
    FormWindow* window = ShowActive(form);
    QWidget* pane = Widget(window, "Picture3");
    ASSERT_NE(pane, nullptr);

    form.Picture3.PSet(3, 4, RGB(255, 0, 0));  // on screen only: AutoRedraw is off
    QTest::qWait(20);                          // the pane's own repaint
    EXPECT_EQ(form.Picture3.Point(3, 4), static_cast<std::int32_t>(RGB(255, 0, 0)));
    // The form's surface beneath is redrawn (here: its colour changes); the pane with it.
    form.SetBackColor(RGB(0, 128, 128));
    QTest::qWait(20);
    EXPECT_EQ(form.Picture3.Point(3, 4), static_cast<std::int32_t>(RGB(255, 0, 0)));

    pane->repaint();  // as when the window system uncovers it
    EXPECT_EQ(form.Picture3.Point(3, 4), static_cast<std::int32_t>(RGB(0, 0, 255)));
    EXPECT_EQ(pane->grab().toImage().pixelColor(PictureBox::kBorder + 3, PictureBox::kBorder + 4),
              QColor(0, 0, 255));

    // With AutoRedraw on the drawing is persistent and survives.
    form.Picture1.SetAutoRedraw(true);
    form.Picture1.PSet(1, 1, RGB(255, 0, 0));
    Widget(window, "Picture1")->repaint();
    EXPECT_EQ(form.Picture1.Point(1, 1), static_cast<std::int32_t>(RGB(255, 0, 0)));
}

TEST_F(FormWindowTest, TheWindowSystemsOwnRepaintsDropScreenOnlyDrawing) {
    MainLikeForm form(services);
    form.Picture1.SetPicture(
        Picture::FromBitmap(Bitmap(32, 32, PixelFormat::Colour, RGB(0, 0, 255))));
    FormWindow* window = ShowActive(form);
    const QPoint drawn = Widget(window, "Picture1")->mapTo(window, QPoint(2 + 3, 2 + 4));
    const auto drawOnScreenOnly = [&] {
        form.Picture1.PSet(3, 4, RGB(255, 0, 0));
        QTest::qWait(20);
        EXPECT_EQ(OnScreen(*window).pixelColor(drawn), QColor(255, 0, 0));
    };

    drawOnScreenOnly();
    QExposeEvent expose(QRect(QPoint(0, 0), window->size()));  // as when uncovered
    QCoreApplication::sendEvent(window->windowHandle(), &expose);
    QTest::qWait(20);
    EXPECT_EQ(OnScreen(*window).pixelColor(drawn), QColor(0, 0, 255));
    EXPECT_EQ(form.Picture1.Point(3, 4), static_cast<std::int32_t>(RGB(0, 0, 255)));

    drawOnScreenOnly();
    window->showMinimized();
    QTest::qWait(20);
    window->showNormal();
    QTest::qWait(20);
    EXPECT_EQ(OnScreen(*window).pixelColor(drawn), QColor(0, 0, 255));
    EXPECT_EQ(form.Picture1.Point(3, 4), static_cast<std::int32_t>(RGB(0, 0, 255)));
}

TEST_F(FormWindowTest, TheFocusMarkIsADottedFrameRoundThePictureNeverOverIt) {
    MainLikeForm form(services);
    form.Picture1.SetPicture(  // black on the pane's white
        Picture::FromBitmap(Bitmap(16, 16, PixelFormat::Colour, RGB(0, 0, 0))));
    form.Command1.SetTabIndex(0);
    form.Picture1.SetTabIndex(1);
    FormWindow* window = ShowActive(form);
    QWidget* pane = Widget(window, "Picture1");
    const QImage before = pane->grab().toImage();
    ASSERT_NE(QApplication::focusWidget(), pane);
    for (int i = 0; i < 5 && QApplication::focusWidget() != pane; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    ASSERT_EQ(QApplication::focusWidget(), pane);
    const QImage focused = pane->grab().toImage();

    const int k = PictureBox::kBorder, w = pane->width(), h = pane->height();
    int changed = 0;
    for (int y = k; y < h - k; ++y) {
        for (int x = k; x < w - k; ++x) changed += focused.pixel(x, y) != before.pixel(x, y);
    }
    EXPECT_EQ(changed, 0) << "the picture keeps every pixel";
    EXPECT_EQ(focused.pixelColor(k, k), QColor(0, 0, 0));
    EXPECT_EQ(focused.pixelColor(k + 20, k + 20), QColor(255, 255, 255));

    // Round the inner area, every other pixel of the border's inner edge is inverted.
    std::vector<QPoint> ring;
    for (int x = 1; x < w - 2; ++x) ring.emplace_back(x, 1);
    for (int y = 1; y < h - 2; ++y) ring.emplace_back(w - 2, y);
    for (int x = w - 2; x > 1; --x) ring.emplace_back(x, h - 2);
    for (int y = h - 2; y > 1; --y) ring.emplace_back(1, y);
    int inverted = 0, alternating = 0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const QRgb was = before.pixel(ring[i]), now = focused.pixel(ring[i]);
        const bool on = now != was;
        inverted += on && qRgb(255 - qRed(was), 255 - qGreen(was), 255 - qBlue(was)) == now;
        const QPoint next = ring[(i + 1) % ring.size()];
        alternating += on != (focused.pixel(next) != before.pixel(next));
    }
    EXPECT_EQ(inverted * 2, static_cast<int>(ring.size()));
    EXPECT_EQ(alternating, static_cast<int>(ring.size()));
}

TEST_F(FormWindowTest, DialogIsPlacedAtItsStoredPositionWithoutTaskbarButton) {
    DialogLikeForm form(services);
    FormWindow* window = ShowActive(form);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(MenuBar(window), nullptr);
    EXPECT_EQ(ClientArea(window)->size(), QSize(382, 190));
    EXPECT_EQ(window->mapToGlobal(ClientArea(window)->pos()), QPoint(156, 129));
    EXPECT_EQ(window->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(QApplication::focusWidget(), Widget(window, "cmdOK"));
    const QFont title = Widget(window, "lblTitle")->font();
    EXPECT_TRUE(title.bold());
    EXPECT_DOUBLE_EQ(title.pointSizeF(), 12.0);
    EXPECT_EQ(title.styleHint(), QFont::SansSerif)
        << "the nearest sans-serif, not a missing family";
    const QImage shot = ClientArea(window)->grab().toImage();
    EXPECT_EQ(shot.pixelColor(100, 115), QColor(128, 128, 128)) << "the grey rule";
    EXPECT_EQ(shot.pixelColor(100, 116), QColor(240, 240, 240));
}

TEST_F(FormWindowTest, EnterPressesTheFocusedOrDefaultButtonAndEscapeTheCancelButton) {
    DialogLikeForm form(services);
    FormWindow* window = ShowActive(form);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(form.okClicks, 1);
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_EQ(form.okClicks, 2);
    Widget(window, "cmdSysInfo")->setFocus();
    QTest::keyClick(Widget(window, "cmdSysInfo"), Qt::Key_Return);
    EXPECT_EQ(form.sysInfoClicks, 1);
    EXPECT_EQ(form.okClicks, 2);
    QTest::keyClick(window, Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE_WITH_TIMEOUT(form.sysInfoClicks, 2, 1000);  // an access key animates the press
}

TEST_F(FormWindowTest, CloseButtonRunsTheCloseSequenceWhichMayKeepTheWindow) {
    DialogLikeForm form(services);
    FormWindow* window = ShowActive(form);
    form.cancelClose = 1;
    window->close();
    EXPECT_EQ(form.queryUnloads, 1);
    EXPECT_EQ(ShownWindow(form), window);
    EXPECT_TRUE(window->isVisible());
    form.cancelClose = 0;
    window->close();
    EXPECT_EQ(form.queryUnloads, 2);
    EXPECT_EQ(ShownWindow(form), nullptr);
    EXPECT_FALSE(form.IsLoaded());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(FormWindowTest, EndTakesTheWindowsAwayWithoutFormEvents) {
    DialogLikeForm form(services);
    FormWindow* window = ShowActive(form);
    runtime.End();
    EXPECT_FALSE(window->isVisible());
    window->close();
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_EQ(form.queryUnloads, 0);
    EXPECT_EQ(form.okClicks, 0);
}

TEST_F(FormWindowTest, RunReturnsWhenTheLastWindowHasClosed) {
    DialogLikeForm form(services);
    QTimer::singleShot(0, [&] { ShownWindow(form)->close(); });
    QTimer watchdog;  // rather fail than hang
    watchdog.callOnTimeout([] { QCoreApplication::exit(1); });
    watchdog.start(5000);
    EXPECT_EQ(runtime.Run(form), 0);
    EXPECT_EQ(form.queryUnloads, 1);
    EXPECT_FALSE(form.IsLoaded());
}

TEST_F(FormWindowTest, RunReturnsAtEndFromAMenuHandler) {
    MainLikeForm form(services);
    form.mnuExit.Click = [&] { runtime.End(); };
    QTimer::singleShot(0, [&] { Action(ShownWindow(form), "mnuExit")->trigger(); });
    QTimer watchdog;
    watchdog.callOnTimeout([] { QCoreApplication::exit(1); });
    watchdog.start(5000);
    EXPECT_EQ(runtime.Run(form), 0);
    EXPECT_TRUE(runtime.Ended());
    EXPECT_TRUE(form.IsLoaded()) << "End runs no unload";
}

}  // namespace
}  // namespace platform::test
