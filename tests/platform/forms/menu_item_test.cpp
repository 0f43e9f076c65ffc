#include "platform/forms/menu_item.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace platform {
namespace {

TEST(MenuArray, ItemsShareOneHandlerThatReceivesTheirIndex) {
    MenuArray mnuSize("mnuSize");
    for (const char* caption : {"&16x16", "&24x24", "&32x32", "&48x48", "&64x64"})
        mnuSize.Add(caption);
    std::vector<int> clicked;
    mnuSize.Click = [&](int Index) { clicked.push_back(Index); };

    mnuSize[3].Click();
    mnuSize[0].Click();
    EXPECT_EQ(clicked, (std::vector<int>{3, 0}));
    EXPECT_EQ(mnuSize.Count(), 5);
    EXPECT_EQ(mnuSize[4].Index(), 4);
    EXPECT_EQ(mnuSize[4].Name(), "mnuSize");
    EXPECT_EQ(mnuSize[4].Caption(), "&64x64");
    EXPECT_THROW(mnuSize[5], std::out_of_range);
}

TEST(MenuArray, ItemsKeepTheirAddressesAsTheArrayGrows) {
    MenuArray mnuSize("mnuSize");
    MenuItem* first = &mnuSize.Add("&16x16");
    for (int i = 0; i < 100; ++i) mnuSize.Add("x");
    EXPECT_EQ(first, &mnuSize[0]);
}

TEST(MenuItem, TellsItsViewOfEveryVisibleChange) {
    MenuItem parent("mnuFile", "&File");
    MenuItem mnuConvert("mnuConvert", "&Convert");
    MenuItem mnuLinea("mnuLinea", "-");
    MenuItem mnuExit("mnuExit", "&Exit", "Ctrl+X");
    parent.Add(mnuConvert);
    parent.Add(mnuLinea);
    parent.Add(mnuExit);
    int changes = 0;
    mnuConvert.SetObserver([&] { ++changes; });
    mnuConvert.SetEnabled(false);
    mnuConvert.SetChecked(true);
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(mnuConvert.Enabled());
    EXPECT_TRUE(mnuLinea.IsSeparator());
    EXPECT_EQ(mnuExit.Shortcut(), "Ctrl+X");
    EXPECT_EQ(mnuExit.Index(), -1);
    ASSERT_EQ(parent.Children().size(), 3u);
    EXPECT_EQ(parent.Children()[2], &mnuExit);
}

}  // namespace
}  // namespace platform
