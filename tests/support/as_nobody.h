#pragma once

#include <sys/types.h>

#include <functional>

namespace test_support {

// The user nobody and its group.
struct Nobody {
    uid_t uid;
    gid_t gid;
};
Nobody FindNobody();

// Runs the function in a forked child that has given up root for nobody, with no other
// groups, and returns what it returned (0 to 254); -1 when the child could not become nobody
// or did not return. The tests run as root, who may write any file, so what an ordinary user
// may not do needs an ordinary user to show.
int RunAsNobody(const std::function<int()>& body);

}  // namespace test_support
