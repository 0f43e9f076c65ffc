// Small files that claim huge pictures: zentrova-convert, and the window's decoding of what it
// shows, run on each in a child process, hold no more memory and spend no more time than a
// fixed bound above what a tiny picture costs them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

extern char** environ;

namespace zentrova {
namespace {

namespace fs = std::filesystem;

// The bound of the program: 64 MB above idle and about a second of work. The test build's
// sanitizers make the same work several times slower, so its time is allowed three seconds.
constexpr long kMaxExtraKilobytes = 64 * 1024;
constexpr double kMaxExtraSeconds = 3.0;

struct Cost {
    int status = -1;
    long peakKilobytes = 0;
    double cpuSeconds = 0;
};

// `args` run in a child. wait4 gives this one child's peak and time, which
// getrusage(RUSAGE_CHILDREN) would merge with those of the children before it.
Cost Run(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    Cost cost;
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << argv[0] << ": " << std::strerror(spawned);
        return cost;
    }
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    cost.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    cost.peakKilobytes = usage.ru_maxrss;
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    cost.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    return cost;
}

// The converter on `input`, writing into `folder`.
Cost Convert(const std::string& input, const fs::path& folder) {
    return Run({ZENTROVA_CONVERT_PROGRAM, "-d", folder.string(), input});
}

// What the window decodes of `input` once it has opened it: a pane's corner and the overview.
Cost Show(const std::string& input) {
    return Run({ZENTROVA_PICTURE_TOOL, "show", input});
}

void ExpectWithinBound(const Cost& cost, const Cost& idle, const char* road) {
    SCOPED_TRACE(road);
    EXPECT_TRUE(cost.status == 0 || cost.status == 1) << "status " << cost.status;
    EXPECT_LE(cost.peakKilobytes - idle.peakKilobytes, kMaxExtraKilobytes)
        << cost.peakKilobytes << " KB at its peak, " << idle.peakKilobytes << " KB idle";
    EXPECT_LE(cost.cpuSeconds - idle.cpuSeconds, kMaxExtraSeconds)
        << cost.cpuSeconds << " s, " << idle.cpuSeconds << " s idle";
}

TEST(BoundedCost, NoSmallFileMakesTheConverterOrTheWindowHoldOrWorkOutOfProportion) {
    test_support::TempDir dir;
    const std::string tiny = (test_support::CorporaDir() / "bmpsuite/g/pal8.bmp").string();
    const Cost idle = Convert(tiny, dir.Path());
    const Cost idleShow = Show(tiny);
    ASSERT_EQ(idle.status, 0);
    ASSERT_EQ(idleShow.status, 0);
    std::printf("idle: %ld KB, %.2f s; shown %ld KB, %.2f s\n", idle.peakKilobytes, idle.cpuSeconds,
                idleShow.peakKilobytes, idleShow.cpuSeconds);

    std::vector<std::string> inputs;
    for (const auto& item :
         fs::directory_iterator(test_support::SourceDir() / "tests/data/regressions/bombs")) {
        inputs.push_back(item.path().string());
    }
    ASSERT_FALSE(inputs.empty());
    // A sparse gigabyte of RLE data that is all ends of line after the header of a small bomb:
    // refused where the data passes the last row, not read to its end.
    const std::string sparse = dir.File("bmp_rle8_sparse_gigabyte.bmp");
    auto header = test_support::ReadBytes(test_support::SourceDir() /
                                          "tests/data/regressions/bombs/"
                                          "bmp_rle8_small_file_claims_11585_square.bmp");
    header.resize(header.size() - 2);  // its end of bitmap
    test_support::WriteBytes(sparse, header);
    fs::resize_file(sparse, std::uintmax_t{1} << 30);
    inputs.push_back(sparse);

    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        const Cost cost = Convert(input, dir.Path());
        ExpectWithinBound(cost, idle, "converted");
        const Cost shown = Show(input);
        ExpectWithinBound(shown, idleShow, "shown");
        std::printf("%-56s status %d, %ld KB, %.2f s; shown %ld KB, %.2f s\n",
                    fs::path(input).filename().c_str(), cost.status, cost.peakKilobytes,
                    cost.cpuSeconds, shown.peakKilobytes, shown.cpuSeconds);
    }
}

}  // namespace
}  // namespace zentrova
