#include "tests/support/other_users.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string_view>

#include "tests/support/child_process.h"

extern char** environ;

namespace test_support {

namespace {

// What RunInChild takes for a child that did not return.
constexpr int kCouldNotBecome = 255;
constexpr const char* kSudo = "/usr/bin/sudo";
// Set in the test run through sudo, which must not try sudo again.
constexpr std::string_view kThroughSudo = "ZENTROVA_TEST_THROUGH_SUDO=1";
// Its status when sudo gave it no more than this process has.
constexpr int kStillNotRoot = 77;

bool RunningThroughSudo() {
    for (char** e = environ; *e; ++e) {
        if (*e == kThroughSudo) return true;
    }
    return false;
}

bool SudoWithoutPassword() {
    if (::access(kSudo, X_OK) != 0) return false;
    return RunProgram({.args = {kSudo, "-n", "/bin/true"}, .err = "/dev/null"}).status == 0;
}

// This test alone, in this program, as root: this process's environment but for what
// belongs to the user's own session.
int RunThroughSudo() {
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const ::testing::TestInfo& test = *::testing::UnitTest::GetInstance()->current_test_info();
    Program program{.args = {kSudo, "-n", "/usr/bin/env", "--"}};
    for (char** e = environ; *e; ++e) {
        const std::string_view entry(*e);
        if (!entry.starts_with("HOME=") && !entry.starts_with("XDG_")) {
            program.args.emplace_back(entry);
        }
    }
    program.args.emplace_back(kThroughSudo);
    program.args.push_back(self);
    program.args.push_back(std::string("--gtest_filter=") + test.test_suite_name() + "." +
                           test.name());
    return RunProgram(program).status;
}

}  // namespace

Nobody FindNobody() {
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody) throw std::runtime_error("there is no user nobody");
    return {nobody->pw_uid, nobody->pw_gid};
}

int RunAsNobody(const std::function<int()>& body) {
    const Nobody nobody = FindNobody();
    return RunInChild([&] {
        // Groups first: after setuid there is no right left to change them.
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody.gid) != 0 ||
            ::setuid(nobody.uid) != 0) {
            return kCouldNotBecome;
        }
        return body();
    });
}

std::vector<std::string> NobodyLauncher() {
    const Nobody nobody = FindNobody();
    return {"/usr/bin/setpriv", "--reuid=" + std::to_string(nobody.uid),
            "--regid=" + std::to_string(nobody.gid), "--clear-groups"};
}

bool MayActAsOtherUsers() {
    return RunAsNobody([] { return 0; }) == 0;
}

AsRoot RunCurrentTestAsRoot() {
    if (MayActAsOtherUsers()) return {.here = true};
    if (RunningThroughSudo()) std::_Exit(kStillNotRoot);
    if (!SudoWithoutPassword()) {
        return {.skipped =
                    "needs root to act as the user nobody: this process is not (root in "
                    "a user namespace is not), and sudo -n does not work here"};
    }
    const int status = RunThroughSudo();
    if (status == kStillNotRoot) {
        return {.skipped =
                    "needs root: sudo -n gave no more rights than this process has, "
                    "as in a user namespace"};
    }
    return {.status = status};
}

}  // namespace test_support
