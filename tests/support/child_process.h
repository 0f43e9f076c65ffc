#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace test_support {

// Runs the function in a forked child and returns what it returned (0 to 254); -1 when the
// child did not return. For what changes the whole process: limits, users, signals.
int RunInChild(const std::function<int()>& body);

// A program to start: its words (the first a full path), where and with what.
struct Program {
    std::vector<std::string> args;
    // This process's environment when not given.
    std::optional<std::vector<std::string>> environment;
    // This process's folder when empty.
    std::filesystem::path workDir;
    // Files its standard output and error go to, created or emptied first; this process's
    // own when empty.
    std::filesystem::path out;
    std::filesystem::path err;
};

// How a program ended and what it cost. wait4 gives this one child's peak and time, which
// getrusage(RUSAGE_CHILDREN) would merge with those of the children before it.
struct Ended {
    // Its exit status, 128 + the signal that ended it, or -1 when it did not start (the test
    // has then failed).
    int status = -1;
    long peakKilobytes = 0;
    double cpuSeconds = 0;
};

// Runs the program to its end.
Ended RunProgram(const Program& program);

}  // namespace test_support
