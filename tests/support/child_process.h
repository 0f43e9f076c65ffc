#pragma once

#include <sys/types.h>

#include <functional>

namespace test_support {

// Runs the function in a forked child and returns what it returned (0 to 254); -1 when the
// child did not return. For what changes the whole process: limits, users, signals.
int RunInChild(const std::function<int()>& body);

// The user nobody and its group.
struct Nobody {
    uid_t uid;
    gid_t gid;
};
Nobody FindNobody();

// RunInChild as nobody, with no other groups; -1 also when the child could not become
// nobody. The tests run as root, who may write any file, so what an ordinary user may not do
// needs an ordinary user to show.
int RunAsNobody(const std::function<int()>& body);

}  // namespace test_support
