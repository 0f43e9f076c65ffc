// The main window as Win32 windows: its frame, menus and keys, the panes' repaints, and the
// preview made beside the window.
#include <string>

#include "platform/pictures/picture_files.h"
#include "tests/win32/win32_fixture.h"

namespace test_support {
namespace {

using MainWindow = Win32MainWindowTest;

// The block the shell posts with WM_DROPFILES (DROPFILES in shlobj.h), the names after it.
struct DropFiles {
    DWORD pFiles;
    ::POINT pt;
    BOOL fNC;
    BOOL fWide;
};

TEST_F(MainWindow, HasItsFixedFrameClientAreaAndMenus) {
    ::HWND window = ShowMain();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowText(window), L"Zentrova");
    const ::SIZE client = ClientSize(window);
    EXPECT_EQ(client.cx, 132);
    EXPECT_EQ(client.cy, 90);
    // A fixed single border and the close button only.
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    // Centred in the work area.
    ::RECT area{}, frame{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    ::GetWindowRect(window, &frame);
    EXPECT_NEAR(frame.left + frame.right, area.left + area.right, 1);
    EXPECT_NEAR(frame.top + frame.bottom, area.top + area.bottom, 1);

    ::HMENU bar = ::GetMenu(window);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(MenuText(bar, 0), L"&File");
    EXPECT_EQ(MenuText(bar, 1), L"&Size");
    EXPECT_EQ(MenuText(bar, 2), L"&Help");
    ::HMENU file = ::GetSubMenu(bar, 0);
    EXPECT_EQ(MenuText(file, 0), L"&Open");
    EXPECT_EQ(MenuText(file, 1), L"&Convert");
    EXPECT_TRUE(::GetMenuState(file, 1, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_TRUE(::GetMenuState(file, 2, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(MenuText(file, 3), L"&Exit\tCtrl+X");
    ::HMENU size = ::GetSubMenu(bar, 1);
    const wchar_t* sizes[] = {L"&16x16", L"&24x24", L"&32x32", L"&48x48", L"&64x64"};
    for (UINT item = 0; item < 5; ++item) {
        EXPECT_EQ(MenuText(size, item), sizes[item]);
        EXPECT_EQ((::GetMenuState(size, item, MF_BYPOSITION) & MF_CHECKED) != 0, item == 2);
    }
    EXPECT_EQ(MenuText(::GetSubMenu(bar, 2), 0), L"&About\tF1");

    // The panes' tooltips.
    ::HWND tips = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
    while (tips && ::GetWindow(tips, GW_OWNER) != window) {
        tips = ::FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr);
    }
    ASSERT_NE(tips, nullptr);
    wchar_t text[80] = {};
    ::TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window;
    tool.uId =
        reinterpret_cast<UINT_PTR>(::ChildWindowFromPointEx(window, {62, 12}, CWP_SKIPINVISIBLE));
    tool.lpszText = text;
    ::SendMessageW(tips, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(text), L"Converted icon");
}

TEST_F(MainWindow, ASizeChosenInItsMenuReachesTheArrayAndMovesTheCheckMark) {
    ::HWND window = ShowMain();
    ASSERT_NE(window, nullptr);
    // What the menu sends when the user picks "&64x64".
    const UINT command = ::GetMenuItemID(::GetSubMenu(::GetMenu(window), 1), 4);
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    Pump();
    EXPECT_EQ(form.IconSize, 64);
    EXPECT_EQ(form.Picture1.Width(), 68);
    ::HMENU size = ::GetSubMenu(::GetMenu(window), 1);
    EXPECT_TRUE(::GetMenuState(size, 4, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_FALSE(::GetMenuState(size, 2, MF_BYPOSITION) & MF_CHECKED);
    // The pane's window follows the model, and lies on the one created before it.
    ::RECT pane{};
    ::GetWindowRect(::ChildWindowFromPointEx(window, {62, 12}, CWP_SKIPINVISIBLE), &pane);
    EXPECT_EQ(pane.right - pane.left, 68);
}

TEST_F(MainWindow, AClickOnASourcePaneReachesItsPickerAndOneOnAResultPaneNothing) {
    ::HWND window = ShowMain();
    ASSERT_NE(window, nullptr);
    Click(::ChildWindowFromPointEx(window, {62, 12}, CWP_SKIPINVISIBLE), 5, 5);  // Picture2
    EXPECT_TRUE(dialogs.requests.empty());
    Click(::ChildWindowFromPointEx(window, {12, 12}, CWP_SKIPINVISIBLE), 5, 5);  // Picture1
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].filter, "All picture files (*.JPG)|*.JPG");
}

TEST_F(MainWindow, CtrlXEndsTheProgram) {
    ::HWND window = ShowMain();
    ASSERT_NE(window, nullptr);
    PressKey(window, 'X', true);
    EXPECT_TRUE(runtime.Ended());
    EXPECT_FALSE(::IsWindow(window));
}

TEST_F(MainWindow, APaneWithoutAutoRedrawLosesScreenOnlyDrawingWhenTheSystemRepaintsIt) {
    ::HWND window = ShowMain();
    ASSERT_NE(window, nullptr);
    // Picture4 (AutoRedraw off) at (60, 72), Picture2 (on) at (60, 10): the panes' windows lie
    // at their controls' places.
    ::HWND screenOnly = ::ChildWindowFromPointEx(window, {62, 74}, CWP_SKIPINVISIBLE);
    ::HWND persistent = ::ChildWindowFromPointEx(window, {62, 12}, CWP_SKIPINVISIBLE);
    ASSERT_NE(screenOnly, window);
    ASSERT_NE(persistent, window);
    const platform::COLORREF red = platform::RGB(255, 0, 0);
    form.Picture4.Line(0, 0, 9, 9, red);
    form.Picture2.Line(0, 0, 9, 9, red);
    Pump();
    const auto shown = [](::HWND pane) {
        ::HDC dc = ::GetDC(pane);
        const COLORREF pixel = ::GetPixel(dc, 3, 3);
        ::ReleaseDC(pane, dc);
        return pixel;
    };
    EXPECT_EQ(shown(screenOnly), red);
    EXPECT_EQ(shown(persistent), red);

    // The window system asks for both panes again, as when they are uncovered.
    for (::HWND pane : {screenOnly, persistent}) {
        ::RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    Pump();
    EXPECT_EQ(shown(screenOnly), platform::RGB(255, 255, 255));
    EXPECT_EQ(form.Picture4.Point(3, 3), 0xFFFFFF);
    EXPECT_EQ(shown(persistent), red);
}

TEST_F(MainWindow, ThePreviewIsMadeBesideTheWindowAndArrivesThroughItsMessages) {
    ::HWND window = ShowMain();
    ASSERT_NE(window, nullptr);
    const platform::Picture picture =
        platform::LoadPicture((CorporaDir() / "pngsuite" / "basn2c08.png").string());
    ASSERT_TRUE(picture.DecodesOnDemand());
    form.imgPreview.SetPicture(picture);
    // Nothing is made until the window paints, and then not on the window's thread.
    EXPECT_EQ(form.imgPreview.ReadyOverview(), nullptr);
    ::UpdateWindow(window);
    EXPECT_EQ(form.imgPreview.ReadyOverview(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return form.imgPreview.ReadyOverview() != nullptr; }));
    Pump();
    // The client area shows it where imgPreview lies, (8, 0), stretched to 80 x 80.
    const platform::Bitmap& overview = *form.imgPreview.ReadyOverview();
    ASSERT_EQ(overview.Width(), 80);
    ::HDC dc = ::GetDC(window);
    const COLORREF pixel = ::GetPixel(dc, 8 + 1, 1);
    ::ReleaseDC(window, dc);
    EXPECT_EQ(pixel, overview.At(1, 1) & 0xFFFFFF);
}

TEST_F(MainWindow, AFileDroppedOnTheWindowGoesToTheForm) {
    std::string dropped;
    form.FileDropped = [&](const std::string& name) { dropped = name; };
    ::HWND window = ShowMain();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    // What the shell posts for a drop: a DROPFILES block and the names, each ended by NUL.
    const std::wstring name = L"C:\\Pictures\\photo.jpg";
    const std::size_t bytes = sizeof(DropFiles) + (name.size() + 2) * sizeof(wchar_t);
    ::HGLOBAL memory = ::GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DropFiles*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DropFiles);
    drop->fWide = TRUE;
    name.copy(reinterpret_cast<wchar_t*>(drop + 1), name.size());
    ::GlobalUnlock(memory);
    ::PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    Pump();
    EXPECT_EQ(dropped, "C:\\Pictures\\photo.jpg");
}

}  // namespace
}  // namespace test_support
