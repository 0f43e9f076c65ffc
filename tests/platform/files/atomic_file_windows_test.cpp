// The save's promises on Windows: refused where opening for writing would be refused, never a
// damaged target, and no temporary file left for long.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "platform/files/atomic_file.h"
#include "tests/support/test_files.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using test_support::ReadBytes;
using test_support::TempDir;
using test_support::WriteBytes;

const std::vector<std::uint8_t> kOld(5000, 0x11);
const std::vector<std::uint8_t> kNew = {1, 2, 3};

std::size_t Entries(const fs::path& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(WriteFileAtomicallyOnWindows, ReplacesAFileWithUtf8NamesAndLeavesNoTemporaryBehind) {
    TempDir dir;
    const fs::path target = dir.Path() / fs::path(L"\u00e9t\u00e9 \u2600.ico");
    WriteBytes(target, kOld);
    const std::u8string folder = dir.Path().u8string();
    const std::string utf8Folder(folder.begin(), folder.end());
    ASSERT_FALSE(WriteFileAtomically(utf8Folder + "\\\xc3\xa9t\xc3\xa9 \xe2\x98\x80.ico", kNew));
    EXPECT_EQ(ReadBytes(target), kNew);
    EXPECT_EQ(Entries(dir.Path()), 1u);
    EXPECT_EQ(WriteFileAtomically(utf8Folder + "\\missing\\a.ico", kNew),
              std::errc::no_such_file_or_directory);
    EXPECT_EQ(Entries(dir.Path()), 1u);
}

TEST(WriteFileAtomicallyOnWindows, RefusesAReadOnlyFileAndLeavesItAsItWas) {
    TempDir dir;
    const fs::path target = dir.Path() / "locked.ico";
    WriteBytes(target, kOld);
    ASSERT_TRUE(::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::error_code refused = WriteFileAtomically(target.string(), kNew);
    ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(refused.value(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ReadBytes(target), kOld);
    EXPECT_EQ(Entries(dir.Path()), 1u);
}

TEST(WriteFileAtomicallyOnWindows, RefusesAFileHeldOpenWithoutSharing) {
    TempDir dir;
    const fs::path target = dir.Path() / "held.ico";
    WriteBytes(target, kOld);
    const HANDLE held = ::CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(WriteFileAtomically(target.string(), kNew).value(), ERROR_SHARING_VIOLATION);
    ::CloseHandle(held);
    EXPECT_EQ(ReadBytes(target), kOld);
    EXPECT_EQ(Entries(dir.Path()), 1u);
    EXPECT_FALSE(WriteFileAtomically(target.string(), kNew));
    EXPECT_EQ(ReadBytes(target), kNew);
}

// Saves two large contents by turns until it is killed: run as a child by the test below.
TEST(WriteFileAtomicallyOnWindows, DISABLED_SavesUntilKilled) {
    const char* target = std::getenv("ZENTROVA_SAVE_TARGET");
    ASSERT_TRUE(target);
    const std::vector<std::uint8_t> contents[] = {std::vector<std::uint8_t>(3 << 20, 0xAA),
                                                  std::vector<std::uint8_t>(2 << 20, 0xBB)};
    for (unsigned round = 0;; ++round) {
        ASSERT_FALSE(WriteFileAtomically(target, contents[round % 2]));
    }
}

HANDLE StartSaver(const fs::path& target) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command =
        L"\"" + std::wstring(self) +
        L"\" --gtest_also_run_disabled_tests"
        L" --gtest_filter=WriteFileAtomicallyOnWindows.DISABLED_SavesUntilKilled";
    ::SetEnvironmentVariableW(L"ZENTROVA_SAVE_TARGET", target.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        return nullptr;
    }
    ::CloseHandle(started.hThread);
    return started.hProcess;
}

TEST(WriteFileAtomicallyOnWindows, AKilledSaveLeavesTheOldOrTheNewFileAndTheNextSaveCleansUp) {
    TempDir dir;
    const fs::path target = dir.Path() / "out.ico";
    WriteBytes(target, kOld);
    std::mt19937 random(7);
    std::uniform_int_distribution<DWORD> wait(100, 600);
    for (int round = 0; round < 6; ++round) {
        const HANDLE saver = StartSaver(target);
        ASSERT_TRUE(saver);
        ::Sleep(wait(random));
        ::TerminateProcess(saver, 9);
        ::WaitForSingleObject(saver, INFINITE);
        ::CloseHandle(saver);
        const std::vector<std::uint8_t> found = ReadBytes(target);
        const bool whole = found == kOld || found == std::vector<std::uint8_t>(3 << 20, 0xAA) ||
                           found == std::vector<std::uint8_t>(2 << 20, 0xBB);
        EXPECT_TRUE(whole) << "round " << round << ": " << found.size() << " bytes";
    }
    ASSERT_FALSE(WriteFileAtomically(target.string(), kNew));
    EXPECT_EQ(ReadBytes(target), kNew);
    EXPECT_EQ(Entries(dir.Path()), 1u);
}

}  // namespace
}  // namespace platform
