// Help > About as Win32 windows: the dialog's frame and place, its tab order, and the main
// window it disables without greying anything.
#include "about/frm_about.h"
#include "tests/win32/win32_fixture.h"

namespace test_support {
namespace {

class AboutBox : public Win32MainWindowTest {
  protected:
    // F1 in the main window, as the user presses it.
    ::HWND OpenAbout(::HWND main) {
        PressKey(main, VK_F1);
        return ::FindWindowW(nullptr, L"About Zentrova...");
    }
};

TEST_F(AboutBox, IsAFixedDialogAtItsStoredPlaceWithoutATaskbarButton) {
    ::HWND main = ShowMain();
    ASSERT_NE(main, nullptr);
    ::HWND about = OpenAbout(main);
    ASSERT_NE(about, nullptr);
    const ::SIZE client = ClientSize(about);
    EXPECT_EQ(client.cx, 382);
    EXPECT_EQ(client.cy, 190);
    const auto extended = static_cast<DWORD>(::GetWindowLongPtrW(about, GWL_EXSTYLE));
    EXPECT_TRUE(extended & WS_EX_DLGMODALFRAME);
    EXPECT_FALSE(extended & WS_EX_APPWINDOW);
    // An owned window has no taskbar button; its owner is no window of ours that shows.
    ::HWND owner = ::GetWindow(about, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    EXPECT_FALSE(::IsWindowVisible(owner));
    EXPECT_EQ(::GetMenu(about), nullptr);
    // Its client area's top-left corner where the definition stores it, as the system sees it.
    ::POINT origin{0, 0};
    ::ClientToScreen(about, &origin);
    EXPECT_EQ(origin.x, 156);
    EXPECT_EQ(origin.y, 129);
    // The labels and buttons with their texts.
    EXPECT_NE(ChildWithText(about, L"Zentrova"), nullptr);
    EXPECT_NE(ChildWithText(about, L"v1.038"), nullptr);
    EXPECT_NE(ChildWithText(about, L"&System Info..."), nullptr);
    // The title in its font: 12 points bold is 16 pixels at 96 dots per inch.
    ::LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<::HFONT>(
                     ::SendMessageW(ChildWithText(about, L"Zentrova"), WM_GETFONT, 0, 0)),
                 sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, -16);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"MS Sans Serif");
    // The etched rule: grey at y 115, white at 116 and 117.
    ::HDC dc = ::GetDC(about);
    EXPECT_EQ(::GetPixel(dc, 100, 115), 0x808080u);
    EXPECT_EQ(::GetPixel(dc, 100, 116), 0xFFFFFFu);
    EXPECT_EQ(::GetPixel(dc, 100, 117), 0xFFFFFFu);
    EXPECT_NE(::GetPixel(dc, 100, 118), 0xFFFFFFu);
    ::ReleaseDC(about, dc);
}

TEST_F(AboutBox, DisablesTheMainWindowWithoutGreyingItUntilOk) {
    ::HWND main = ShowMain();
    ASSERT_NE(main, nullptr);
    ::HWND about = OpenAbout(main);
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(main));
    // Nothing is greyed: the menu items keep their state.
    EXPECT_FALSE(::GetMenuState(::GetSubMenu(::GetMenu(main), 0), 0, MF_BYPOSITION) & MF_GRAYED);

    // Keys and clicks that reach the main window anyway do nothing: no Exit, no pane picker,
    // no second About box.
    PressKey(main, 'X', true);
    PressKey(main, VK_F1);
    Click(::ChildWindowFromPointEx(main, {12, 12}, CWP_SKIPINVISIBLE), 5, 5);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(runtime.Ended());
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_TRUE(dialogs.requests.empty());

    // Enter presses OK, the default button: the dialog goes and the main window takes input.
    PressKey(about, VK_RETURN);
    EXPECT_FALSE(::IsWindow(about));
    EXPECT_TRUE(::IsWindowEnabled(main));
    PressKey(main, 'X', true);
    EXPECT_TRUE(runtime.Ended());
}

TEST_F(AboutBox, TabMovesTheFocusInTabIndexOrder) {
    ::HWND main = ShowMain();
    ASSERT_NE(main, nullptr);
    ::HWND about = OpenAbout(main);
    ASSERT_NE(about, nullptr);
    ::HWND ok = ChildWithText(about, L"OK");
    ::HWND sysInfo = ChildWithText(about, L"&System Info...");
    // picIcon is the dialog's only picture box.
    ::HWND icon = ::FindWindowExW(about, nullptr, L"ZentrovaPictureBox", nullptr);
    ASSERT_NE(icon, nullptr);
    // cmdOK 0, picIcon 1, cmdSysInfo 2, although picIcon was made first.
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == ok; }));
    PressKey(ok, VK_TAB);
    EXPECT_EQ(::GetFocus(), icon);
    PressKey(icon, VK_TAB);
    EXPECT_EQ(::GetFocus(), sysInfo);
    PressKey(sysInfo, VK_TAB);
    EXPECT_EQ(::GetFocus(), ok);
    // Escape presses OK too, the cancel button.
    PressKey(ok, VK_ESCAPE);
    EXPECT_FALSE(::IsWindow(about));
}

}  // namespace
}  // namespace test_support
