// Start-up and shut-down of the main window, and its definition.
#include <gtest/gtest.h>

#include "tests/support/main_window_fixture.h"

namespace zentrova {
namespace {

using platform::Picture;
using test_support::MainWindowTest;

Picture SomePicture() {
    return Picture::FromBitmap(platform::Bitmap(8, 8, platform::PixelFormat::Colour, 0x0000FF));
}

class StartUp : public MainWindowTest {};

TEST_F(StartUp, LeavesConvertGreyedAndOnlyThe32x32ItemChecked) {
    EXPECT_FALSE(Main().mnuConvert.Enabled());
    EXPECT_EQ(Main().IconSize, 32);
    for (int index = 0; index < 5; ++index) {
        EXPECT_EQ(Main().mnuSize[index].Checked(), index == 2) << index;
    }
    EXPECT_FALSE(Main().SourceIsPicture);
    EXPECT_EQ(Main().SavePath, "");
}

TEST_F(StartUp, FillsTheDispatchInterfaceIdentifier) {
    const platform::GUID expected{0x00020400, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    EXPECT_EQ(Main().IID_IDispatch, expected);
}

TEST_F(StartUp, KeepsAMonochrome32x32BitmapInTheSharedContext) {
    const platform::Bitmap* bitmap = gdi.GetBitmap(Main().hMemBitmap);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), 32);
    EXPECT_EQ(bitmap->Height(), 32);
    EXPECT_TRUE(bitmap->IsMonochrome());
    EXPECT_EQ(gdi.GetSelectedBitmap(Main().hMemDC), Main().hMemBitmap);
    EXPECT_EQ(gdi.SelectObject(Main().hMemDC, Main().hOldBitmap), Main().hMemBitmap);
}

TEST_F(StartUp, TurnsOnPersistentDrawingOnTheWorkPanes) {
    EXPECT_TRUE(Main().picImage.AutoRedraw());
    EXPECT_TRUE(Main().picMask.AutoRedraw());
}

TEST_F(StartUp, ChangingTheSizeLeavesTheSharedBitmapAt32) {
    Main().mnuSize[4].Click();
    EXPECT_EQ(Main().IconSize, 64);
    EXPECT_EQ(gdi.GetBitmap(Main().hMemBitmap)->Width(), 32);
}

class ShutDown : public MainWindowTest {};

TEST_F(ShutDown, CloseButtonFreesTheBitmapThenTheContextAndClearsThePanes) {
    const platform::LiveObjects afterLoad = gdi.CountLiveObjects();
    Main().Picture1.SetPicture(SomePicture());
    Main().Picture4.SetPicture(SomePicture());
    const platform::HBITMAP bitmap = Main().hMemBitmap;
    const platform::HDC context = Main().hMemDC;

    EXPECT_TRUE(runtime.PressCloseButton(Main()));
    EXPECT_EQ(gdi.GetBitmap(bitmap), nullptr) << "deleted, so it was out of its context first";
    EXPECT_EQ(gdi.GetSelectedBitmap(context), platform::HBITMAP{}) << "the context is gone";
    EXPECT_TRUE(Main().Picture1.GetPicture().IsEmpty());
    EXPECT_TRUE(Main().Picture4.GetPicture().IsEmpty());
    EXPECT_EQ(gdi.CountLiveObjects().contexts, afterLoad.contexts - 1);
    EXPECT_EQ(gdi.CountLiveObjects().bitmaps, afterLoad.bitmaps - 1);
    EXPECT_FALSE(Main().IsLoaded());
}

TEST_F(ShutDown, ExitClearsThePanesAndEndsWithoutTheCloseHandlers) {
    Main().Picture2.SetPicture(SomePicture());
    Main().Picture3.SetPicture(SomePicture());
    Main().mnuExit.Click();
    EXPECT_TRUE(runtime.Ended());
    for (platform::PictureBox* pane :
         {&Main().Picture1, &Main().Picture2, &Main().Picture3, &Main().Picture4}) {
        EXPECT_TRUE(pane->GetPicture().IsEmpty()) << pane->Name();
    }
    // The close handlers did not run: the shared bitmap and context are still there.
    EXPECT_NE(gdi.GetBitmap(Main().hMemBitmap), nullptr);
    EXPECT_EQ(gdi.GetSelectedBitmap(Main().hMemDC), Main().hMemBitmap);
}

struct Geometry {
    const char* name;
    int left, top, width, height, tabIndex;
};

class Definition : public MainWindowTest {};

TEST_F(Definition, PlacesEveryControlAsDefined) {
    const Geometry expected[] = {
        {"Picture2", 60, 10, 36, 36, 7},  {"Picture1", 10, 10, 36, 36, 6},
        {"picImage", 250, 2, 36, 36, 5},  {"picMask", 250, 40, 36, 36, 4},
        {"Command2", 110, 80, 90, 23, 1}, {"Command1", 110, 17, 90, 23, 0},
        {"Picture4", 60, 72, 36, 36, 3},  {"Picture3", 10, 72, 36, 36, 2},
        {"imgPreview", 8, 0, 80, 80, 0},
    };
    const auto& controls = Main().Controls();
    ASSERT_EQ(controls.size(), std::size(expected));
    for (std::size_t i = 0; i < controls.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(controls[i]->Name(), expected[i].name) << "creation order";
        EXPECT_EQ(controls[i]->Left(), expected[i].left);
        EXPECT_EQ(controls[i]->Top(), expected[i].top);
        EXPECT_EQ(controls[i]->Width(), expected[i].width);
        EXPECT_EQ(controls[i]->Height(), expected[i].height);
        if (controls[i]->Name() != "imgPreview") {
            EXPECT_EQ(controls[i]->TabIndex(), expected[i].tabIndex);
        }
    }
}

TEST_F(Definition, SetsThePanesTheirRolesAndColours) {
    EXPECT_EQ(Main().Caption(), "Zentrova");
    EXPECT_EQ(Main().ClientWidth(), 132);
    EXPECT_EQ(Main().ClientHeight(), 90);
    EXPECT_EQ(Main().GetStartUpPosition(), platform::StartUpPosition::CenterScreen);
    EXPECT_FALSE(Main().MinButton());
    EXPECT_FALSE(Main().MaxButton());
    EXPECT_EQ(Main().Icon().Type(), platform::PictureType::Icon);
    EXPECT_EQ(Main().Picture1.ToolTipText(), "Picture");
    EXPECT_EQ(Main().Picture2.ToolTipText(), "Converted icon");
    EXPECT_EQ(Main().Picture3.ToolTipText(), "Icon");
    EXPECT_EQ(Main().Picture4.ToolTipText(), "Converted picture");
    EXPECT_EQ(Main().Command1.Caption(), "Convert to ICO");
    EXPECT_EQ(Main().Command2.Caption(), "Convert to BMP");
    EXPECT_TRUE(Main().Picture1.AutoSize() && Main().Picture2.AutoSize() &&
                Main().Picture3.AutoSize());
    EXPECT_FALSE(Main().Picture4.AutoSize() || Main().picImage.AutoSize() ||
                 Main().picMask.AutoSize());
    EXPECT_FALSE(Main().Picture3.AutoRedraw() || Main().Picture4.AutoRedraw());
    EXPECT_EQ(Main().picImage.BackColor(), 0x00000000u);
    EXPECT_EQ(Main().picMask.BackColor(), 0x80000005u);
    EXPECT_EQ(Main().picMask.ForeColor(), 0x80000008u);
    EXPECT_TRUE(Main().imgPreview.Stretch());
    EXPECT_EQ(Main().BrowseDialog.DialogTitle, "Open");
}

TEST_F(Definition, BuildsTheMenuTreeWithItsKeysAndShortcuts) {
    const auto& menus = Main().Menus();
    ASSERT_EQ(menus.size(), 3u);
    EXPECT_EQ(menus[0]->Caption(), "&File");
    EXPECT_EQ(menus[1]->Caption(), "&Size");
    EXPECT_EQ(menus[2]->Caption(), "&Help");
    const auto& file = menus[0]->Children();
    ASSERT_EQ(file.size(), 4u);
    EXPECT_EQ(file[0]->Caption(), "&Open");
    EXPECT_EQ(file[1]->Caption(), "&Convert");
    EXPECT_TRUE(file[2]->IsSeparator());
    EXPECT_EQ(file[3]->Caption(), "&Exit");
    EXPECT_EQ(file[3]->Shortcut(), "Ctrl+X");
    const char* sizes[] = {"&16x16", "&24x24", "&32x32", "&48x48", "&64x64"};
    ASSERT_EQ(menus[1]->Children().size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(menus[1]->Children()[i]->Caption(), sizes[i]);
        EXPECT_EQ(menus[1]->Children()[i]->Index(), static_cast<int>(i));
    }
    EXPECT_EQ(menus[2]->Children()[0]->Caption(), "&About");
    EXPECT_EQ(menus[2]->Children()[0]->Shortcut(), "F1");
}

}  // namespace
}  // namespace zentrova
