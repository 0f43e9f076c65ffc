#include "tests/support/child_process.h"

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

namespace test_support {

namespace {

constexpr int kDidNotReturn = 255;

}  // namespace

int RunInChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid < 0) return -1;
    // _exit: the child must not run the parent's exit handlers or flush its streams twice.
    if (pid == 0) _exit(body() & 0xFF);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    const int code = WEXITSTATUS(status);
    return code == kDidNotReturn ? -1 : code;
}

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
            return kDidNotReturn;
        }
        return body();
    });
}

}  // namespace test_support
