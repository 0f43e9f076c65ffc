#include "platform/system/shell.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/platform_error.h"
#include "tests/support/test_files.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using test_support::TempDir;

std::string WriteScript(const TempDir& dir, const std::string& name, const std::string& body,
                        fs::perms perms = fs::perms::owner_all) {
    const std::string path = dir.File(name);
    std::ofstream(path) << body;
    fs::permissions(path, perms);
    return path;
}

std::string ReadWhenThere(const std::string& path) {
    for (int i = 0; i < 500; ++i) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        if (text.str().ends_with('\n')) return text.str();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "";
}

// Field of /proc/<pid>/stat after the command name, counted from the state (1).
long StatField(const std::string& stat, int field) {
    std::istringstream rest(stat.substr(stat.rfind(')') + 2));
    std::string value;
    for (int i = 0; i < field; ++i) rest >> value;
    return std::stol(value);
}

// Children of this process that have ended and wait to be reaped.
int ZombieChildren() {
    int zombies = 0;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream in(entry.path() / "stat");
        std::string stat;
        if (!std::getline(in, stat) || stat.rfind(')') == std::string::npos) continue;
        const char state = stat[stat.rfind(')') + 2];
        if (StatField(stat, 2) == ::getpid() && state == 'Z') ++zombies;
    }
    return zombies;
}

ErrorNumber ErrorOf(ShellService& shell, const std::string& path, int style = vbNormalFocus) {
    try {
        shell.Shell(path, style);
    } catch (const PlatformError& error) {
        return error.Number();
    }
    return ErrorNumber{};
}

TEST(ProcessShell, StartsTheProgramDetachedAndReturnsItsProcessId) {
    TempDir dir;
    const std::string report = dir.File("report");
    // The program records who it is, then keeps running: Shell must not wait for it.
    const std::string program =
        WriteScript(dir, "program",
                    "#!/bin/sh\nhead -n1 /proc/$$/stat > '" + report + ".tmp'\nmv '" + report +
                        ".tmp' '" + report + "'\nexec sleep 30\n");
    ProcessShell shell;
    const auto before = std::chrono::steady_clock::now();
    const auto taskId = static_cast<pid_t>(shell.Shell(program, vbNormalFocus));
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));

    const std::string stat = ReadWhenThere(report);
    ASSERT_NE(stat, "");
    EXPECT_EQ(std::stol(stat), taskId);
    EXPECT_NE(StatField(stat, 2), ::getpid());           // not our child
    EXPECT_NE(StatField(stat, 4), ::getsid(0));          // in a session of its own
    EXPECT_EQ(::kill(taskId, 0), 0);                     // still running
    EXPECT_EQ(::waitpid(taskId, nullptr, WNOHANG), -1);  // and not ours to wait for
    EXPECT_EQ(ZombieChildren(), 0);
    ::kill(taskId, SIGTERM);
}

TEST(ProcessShell, FindsABareNameAlongThePath) {
    ProcessShell shell;
    EXPECT_GT(shell.Shell("true", vbHide), 0.0);
    EXPECT_EQ(ZombieChildren(), 0);
}

TEST(ProcessShell, AFailedStartRaisesFileNotFoundBeforeItReturns) {
    TempDir dir;
    ProcessShell shell;
    EXPECT_EQ(ErrorOf(shell, dir.File("missing")), ErrorNumber::FileNotFound);
    EXPECT_EQ(ErrorOf(shell, "no-such-program-anywhere"), ErrorNumber::FileNotFound);
    EXPECT_EQ(ErrorOf(shell, dir.Path().string()), ErrorNumber::FileNotFound);
    const std::string plain =
        WriteScript(dir, "plain", "#!/bin/sh\n", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ErrorOf(shell, plain), ErrorNumber::FileNotFound);
    // Executable by its mode but not by its contents: only exec itself can tell.
    const std::string garbage = WriteScript(dir, "garbage",
                                            "\x7f"
                                            "ELF not really\n");
    EXPECT_EQ(ErrorOf(shell, garbage), ErrorNumber::FileNotFound);
    EXPECT_EQ(ZombieChildren(), 0);
}

TEST(ProcessShell, RefusesAnEmptyPathAndUnknownWindowStyles) {
    ProcessShell shell;
    EXPECT_EQ(ErrorOf(shell, ""), ErrorNumber::InvalidProcedureCall);
    EXPECT_EQ(ErrorOf(shell, "/bin/true", 5), ErrorNumber::InvalidProcedureCall);
    EXPECT_EQ(ErrorOf(shell, "/bin/true", -1), ErrorNumber::InvalidProcedureCall);
}

}  // namespace
}  // namespace platform
