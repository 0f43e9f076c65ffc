#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace test_support {

// The user nobody and its group.
struct Nobody {
    uid_t uid;
    gid_t gid;
};
Nobody FindNobody();

// RunInChild as nobody, with no other groups; -1 also when the child could not become
// nobody. Root may write any file, so what an ordinary user may not do needs an ordinary
// user to show.
int RunAsNobody(const std::function<int()>& body);

// The words that start a program as nobody, with no other groups.
std::vector<std::string> NobodyLauncher();

// Whether this process may give files to other users and become them. Tried rather than
// read from the uid: in a user namespace (scripts/alone as a user) root is only a name.
bool MayActAsOtherUsers();

// Where a test that needs root runs: here, or already through sudo, ending with `status`, or
// nowhere, `skipped` saying why.
struct AsRoot {
    bool here = false;
    int status = 0;
    std::string skipped;
};
AsRoot RunCurrentTestAsRoot();

}  // namespace test_support

// Runs the rest of the test as root, who alone may make other users' files and become those
// users. Here when this process may; otherwise the whole test again, in this program started
// through `sudo -n`, whose outcome is the test's; where neither can be, the test is skipped.
#define RUN_AS_ROOT()                                                                   \
    do {                                                                                \
        const ::test_support::AsRoot asRoot = ::test_support::RunCurrentTestAsRoot();   \
        if (asRoot.here) break;                                                         \
        if (!asRoot.skipped.empty()) GTEST_SKIP() << asRoot.skipped;                    \
        EXPECT_EQ(asRoot.status, 0) << "the test failed when run as root through sudo"; \
        return;                                                                         \
    } while (false)
