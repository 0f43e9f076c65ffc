#include "about/frm_about.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/about/about_fixture.h"

namespace zentrova::testing {
namespace {

struct Placement {
    const platform::Control* control;
    int left, top, width, height, tabIndex;
};

TEST_F(AboutTest, IsAFixedDialogAtItsStoredPlaceWithoutATaskbarButton) {
    EXPECT_EQ(about.Caption(), "About Zentrova...");
    EXPECT_EQ(about.GetBorderStyle(), platform::BorderStyle::FixedDialog);
    EXPECT_FALSE(about.MinButton());
    EXPECT_FALSE(about.MaxButton());
    EXPECT_FALSE(about.ShowInTaskbar());
    EXPECT_EQ(about.ClientWidth(), 382);
    EXPECT_EQ(about.ClientHeight(), 190);
    EXPECT_EQ(about.GetStartUpPosition(), platform::StartUpPosition::Manual);
    EXPECT_EQ(about.ClientLeft(), 156);
    EXPECT_EQ(about.ClientTop(), 129);
    EXPECT_EQ(about.Icon().Type(), platform::PictureType::Icon);
    EXPECT_EQ(about.Icon().Width(), 32);
    EXPECT_TRUE(about.Menus().empty());
}

TEST_F(AboutTest, HasItsControlsInCreationOrderWithTheirPlacesAndTabOrder) {
    std::vector<std::string> names;
    for (const platform::Control* control : about.Controls()) names.push_back(control->Name());
    EXPECT_EQ(names,
              (std::vector<std::string>{"picIcon", "cmdOK", "cmdSysInfo", "Line1", "lblDescription",
                                        "lblTitle", "Line1", "lblVersion", "lblDisclaimer"}));
    EXPECT_EQ(about.Controls()[3], &about.Line1[1]);
    EXPECT_EQ(about.Controls()[6], &about.Line1[0]);

    const std::vector<Placement> placements = {
        {&about.picIcon, 16, 16, 36, 36, 1},         {&about.cmdOK, 283, 127, 84, 23, 0},
        {&about.cmdSysInfo, 284, 157, 83, 23, 2},    {&about.lblDescription, 70, 75, 259, 30, 3},
        {&about.lblTitle, 70, 16, 259, 32, 5},       {&about.lblVersion, 70, 52, 259, 15, 6},
        {&about.lblDisclaimer, 17, 127, 258, 55, 4},
    };
    for (const Placement& p : placements) {
        SCOPED_TRACE(p.control->Name());
        EXPECT_EQ(p.control->Left(), p.left);
        EXPECT_EQ(p.control->Top(), p.top);
        EXPECT_EQ(p.control->Width(), p.width);
        EXPECT_EQ(p.control->Height(), p.height);
        EXPECT_EQ(p.control->TabIndex(), p.tabIndex);
        EXPECT_TRUE(p.control->Visible());
    }
}

TEST_F(AboutTest, ShowsTheIconTheTextsInTheirFontsAndTheTwoButtons) {
    EXPECT_EQ(about.cmdOK.Caption(), "OK");
    EXPECT_TRUE(about.cmdOK.Default());
    EXPECT_TRUE(about.cmdOK.Cancel());
    EXPECT_EQ(about.cmdSysInfo.Caption(), "&System Info...");
    EXPECT_FALSE(about.cmdSysInfo.Default() || about.cmdSysInfo.Cancel());

    EXPECT_EQ(about.picIcon.GetPicture().Type(), platform::PictureType::Icon);
    EXPECT_TRUE(about.picIcon.AutoSize());
    EXPECT_EQ(about.picIcon.InnerWidth(), 32);

    EXPECT_EQ(about.lblTitle.Caption(), "Zentrova");
    EXPECT_EQ(about.lblTitle.Font(), (platform::Font{"MS Sans Serif", 12.0f, true}));
    EXPECT_EQ(about.lblVersion.Caption(), "VERSION");  // until Form_Load
    EXPECT_EQ(about.lblVersion.Font(), (platform::Font{"MS Sans Serif", 8.25f, true}));
    EXPECT_EQ(about.lblDescription.Caption(),
              "Convert picture files (*.BMP, *.GIF, *.JPG) to icons, and icon files (*.ICO) to "
              "pictures.");
    EXPECT_EQ(about.lblDescription.Font(), platform::Font{});
    for (const platform::Label* label :
         {&about.lblTitle, &about.lblDescription, &about.lblDisclaimer}) {
        EXPECT_EQ(label->ForeColor(), 0x000000u) << label->Name();
    }

    // Our own disclaimer: provided as is, no warranty, at the user's own risk.
    const std::string& disclaimer = about.lblDisclaimer.Caption();
    EXPECT_NE(disclaimer.find("as is"), std::string::npos);
    EXPECT_NE(disclaimer.find("without warranty"), std::string::npos);
    EXPECT_NE(disclaimer.find("own risk"), std::string::npos);
    EXPECT_GT(disclaimer.size(), 120u);  // about four lines in its 258-pixel label
    EXPECT_LT(disclaimer.size(), 200u);
}

TEST_F(AboutTest, TheTwoLinesMakeAnEtchedRuleUnderTheTitleBlock) {
    const platform::LineControl& grey = about.Line1[1];
    const platform::LineControl& white = about.Line1[0];
    EXPECT_EQ((std::vector<int>{grey.X1(), grey.Y1(), grey.X2(), grey.Y2()}),
              (std::vector<int>{6, 115, 377, 115}));
    EXPECT_EQ(grey.BorderColor(), 0x808080u);
    EXPECT_EQ(grey.BorderWidth(), 1);
    EXPECT_EQ(grey.BorderStyle(), platform::LineControl::kInsideSolid);
    EXPECT_EQ((std::vector<int>{white.X1(), white.Y1(), white.X2(), white.Y2()}),
              (std::vector<int>{7, 116, 377, 116}));
    EXPECT_EQ(white.BorderColor(), 0xFFFFFFu);
    EXPECT_EQ(white.BorderWidth(), 2);
}

TEST_F(AboutTest, LoadWritesTheVersionWithoutASeparatorBeforeTheRevision) {
    about.Show();
    EXPECT_EQ(about.lblVersion.Caption(), "v1.038");
    EXPECT_TRUE(runtime.IsShown(about));

    frmAbout other(services, mainWindow, RecordWithVersion(2, 10, 5));
    other.Show();
    EXPECT_EQ(other.lblVersion.Caption(), "v2.105");
}

TEST_F(AboutTest, OkEnablesTheMainWindowAndUnloadsTheDialog) {
    mainWindow.SetEnabled(false);
    about.Show();
    ASSERT_FALSE(mainWindow.Enabled());
    about.cmdOK.Click();
    EXPECT_TRUE(mainWindow.Enabled());
    EXPECT_FALSE(about.IsLoaded());
    EXPECT_FALSE(runtime.IsShown(about));
    EXPECT_TRUE(messageBoxes.shown.empty());
}

TEST_F(AboutTest, TheTitleBarCloseButtonAlsoGivesTheMainWindowItsInputBack) {
    mainWindow.SetEnabled(false);
    about.Show();
    EXPECT_TRUE(runtime.PressCloseButton(about));
    EXPECT_TRUE(mainWindow.Enabled());
    EXPECT_FALSE(about.IsLoaded());
    EXPECT_FALSE(runtime.IsShown(about));
}

}  // namespace
}  // namespace zentrova::testing
