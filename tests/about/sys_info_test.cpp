#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "about/frm_about.h"
#include "tests/about/about_fixture.h"
#include "tests/support/test_files.h"

namespace zentrova::testing {
namespace {

using test_support::TempDir;
using test_support::WriteBytes;

const std::string kPathKey = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n";
const std::string kFolderKey = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\n";

// A hive string value for a path: backslashes escaped as the format wants.
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

class SysInfoTest : public AboutTest {
  protected:
    void ExpectFailureMessageOnce() {
        ASSERT_EQ(messageBoxes.shown.size(), 1u);
        EXPECT_EQ(messageBoxes.shown[0].prompt, "Failed to start System Information!");
        EXPECT_EQ(messageBoxes.shown[0].style, 48);
        EXPECT_EQ(messageBoxes.shown[0].title, "Error");
    }

    TempDir dir;
};

TEST_F(SysInfoTest, StartsTheProgramThatPathNames) {
    shell.installed = {"/usr/bin/sysinfo-tool"};
    UseHive(kPathKey + "\"PATH\"=\"/usr/bin/sysinfo-tool\"\n");
    about.Show();
    about.cmdSysInfo.Click();
    about.cmdSysInfo.Click();  // each use is independent
    EXPECT_EQ(shell.calls, (std::vector<test_support::ScriptedShell::Call>{
                               {"/usr/bin/sysinfo-tool", 1}, {"/usr/bin/sysinfo-tool", 1}}));
    EXPECT_TRUE(messageBoxes.shown.empty());
    EXPECT_TRUE(runtime.IsShown(about));
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
}

TEST_F(SysInfoTest, APathThatNamesAMissingFileShowsTheMessageWithoutTryingTheFolder) {
    // The folder key would find a program: it must not be looked at.
    WriteBytes(dir.File("MSINFO32.EXE"), {'x'});
    shell.installed = {dir.File("MSINFO32.EXE")};
    UseHive(kPathKey + "\"PATH\"=" + Quoted(dir.File("missing")) + "\n" + kFolderKey +
            "\"MSINFO\"=" + Quoted(dir.Path().string()) + "\n");
    about.cmdSysInfo.Click();
    EXPECT_EQ(shell.calls,
              (std::vector<test_support::ScriptedShell::Call>{{dir.File("missing"), 1}}));
    ExpectFailureMessageOnce();
}

TEST_F(SysInfoTest, AFolderWithoutTheProgramShowsTheMessageAndStartsNothing) {
    WriteBytes(dir.File("msinfo32.exe"), {'x'});  // names keep their case: not the program
    if (std::filesystem::exists(dir.File("MSINFO32.EXE")))
        GTEST_SKIP() << "this file system does not keep the case of names apart";
    UseHive(kFolderKey + "\"MSINFO\"=" + Quoted(dir.Path().string()) + "\n");
    about.cmdSysInfo.Click();
    EXPECT_TRUE(shell.calls.empty());
    ExpectFailureMessageOnce();
}

TEST_F(SysInfoTest, AFolderWithTheProgramStartsIt) {
    WriteBytes(dir.File("MSINFO32.EXE"), {'x'});
    shell.installed = {dir.File("MSINFO32.EXE")};
    UseHive(kFolderKey + "\"MSINFO\"=" + Quoted(dir.Path().string()) + "\n");
    about.cmdSysInfo.Click();
    EXPECT_EQ(shell.calls,
              (std::vector<test_support::ScriptedShell::Call>{{dir.File("MSINFO32.EXE"), 1}}));
    EXPECT_TRUE(messageBoxes.shown.empty());
}

TEST_F(SysInfoTest, NoKeysOrAFolderTheSearchCannotTakeShowTheMessage) {
    about.cmdSysInfo.Click();
    EXPECT_TRUE(shell.calls.empty());
    ExpectFailureMessageOnce();

    // A wildcard in a folder name is a malformed search: the message again, nothing started.
    messageBoxes.shown.clear();
    UseHive(kFolderKey + "\"MSINFO\"=\"/usr/*\"\n");
    about.cmdSysInfo.Click();
    EXPECT_TRUE(shell.calls.empty());
    ExpectFailureMessageOnce();
}

TEST_F(SysInfoTest, RealProgramStartReportsAMissingProgram) {
    platform::ProcessShell processShell;
    UseHive(kPathKey + "\"PATH\"=" + Quoted(dir.File("hardinfo")) + "\n");
    platform::Services withProcesses = WithShell(processShell);
    frmAbout real(withProcesses, mainWindow, kRecord);
    real.cmdSysInfo.Click();
    ExpectFailureMessageOnce();
}

TEST_F(AboutTest, GetKeyValueReadsAStringTheSameWithOrWithoutItsNul) {
    UseHive(
        "[HKEY_LOCAL_MACHINE\\K]\n"
        "\"WithNul\"=\"tool\"\n"
        "\"WithoutNul\"=hex(1):74,00,6f,00,6f,00,6c,00\n");
    std::string withNul = "old", withoutNul = "old";
    EXPECT_TRUE(about.GetKeyValue(platform::HKEY_LOCAL_MACHINE, "K", "WithNul", withNul));
    EXPECT_TRUE(about.GetKeyValue(platform::HKEY_LOCAL_MACHINE, "K", "WithoutNul", withoutNul));
    EXPECT_EQ(withNul, "tool");
    EXPECT_EQ(withoutNul, "tool");
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
}

TEST_F(AboutTest, GetKeyValueFailsWithAnEmptyTextForLongOrMissingValues) {
    UseHive("[HKEY_LOCAL_MACHINE\\K]\n\"Fits\"=\"" + std::string(1023, 'a') + "\"\n\"Long\"=\"" +
            std::string(1024, 'a') + "\"\n");
    std::string value = "old";
    EXPECT_TRUE(about.GetKeyValue(platform::HKEY_LOCAL_MACHINE, "K", "Fits", value));
    EXPECT_EQ(value, std::string(1023, 'a'));  // 1024 bytes with its NUL: still fits
    value = "old";
    EXPECT_FALSE(about.GetKeyValue(platform::HKEY_LOCAL_MACHINE, "K", "Long", value));
    EXPECT_EQ(value, "");
    value = "old";
    EXPECT_FALSE(about.GetKeyValue(platform::HKEY_LOCAL_MACHINE, "K", "Missing", value));
    EXPECT_EQ(value, "");
    value = "old";
    EXPECT_FALSE(about.GetKeyValue(platform::HKEY_LOCAL_MACHINE, "Nowhere", "Fits", value));
    EXPECT_EQ(value, "");
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
}

TEST_F(AboutTest, GetKeyValueGivesNumbersAsDecimalTextAndLeavesOtherTypesAlone) {
    UseHive("[HKEY_LOCAL_MACHINE\\K]\n\"Number\"=dword:0001e240\n\"Blob\"=hex:01,02\n");
    std::string value = "old";
    EXPECT_TRUE(about.GetKeyValue(platform::HKEY_LOCAL_MACHINE, "K", "Number", value));
    EXPECT_EQ(value, "123456");
    value = "old";
    EXPECT_TRUE(about.GetKeyValue(platform::HKEY_LOCAL_MACHINE, "K", "Blob", value));
    EXPECT_EQ(value, "old");
}

}  // namespace
}  // namespace zentrova::testing
