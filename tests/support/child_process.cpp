#include "tests/support/child_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <utility>

extern char** environ;

namespace test_support {

namespace {

constexpr int kDidNotReturn = 255;

// The pointers execve takes, into `words`, ending in null.
std::vector<char*> Pointers(std::vector<std::string>& words) {
    std::vector<char*> pointers;
    for (std::string& word : words) pointers.push_back(word.data());
    pointers.push_back(nullptr);
    return pointers;
}

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

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

Ended RunProgram(const Program& program) {
    std::vector<std::string> args = program.args;
    std::vector<char*> argv = Pointers(args);
    std::vector<std::string> environment = program.environment.value_or(std::vector<std::string>());
    std::vector<char*> envp = Pointers(environment);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!program.workDir.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, program.workDir.c_str());
    }
    for (const auto& [stream, file] : {std::pair{1, &program.out}, std::pair{2, &program.err}}) {
        if (file->empty()) continue;
        posix_spawn_file_actions_addopen(&actions, stream, file->c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(),
                                    program.environment ? envp.data() : environ);
    posix_spawn_file_actions_destroy(&actions);
    Ended ended;
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << argv[0] << ": " << std::strerror(spawned);
        return ended;
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    ended.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    ended.peakKilobytes = usage.ru_maxrss;
    ended.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    return ended;
}

}  // namespace test_support
