// Small files that claim huge pictures: zentrova-convert, and the window's decoding of what it
// shows, run on each in a child process, hold no more memory and spend no more time than a
// fixed bound above what a tiny picture costs them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/test_files.h"

namespace zentrova {
namespace {

namespace fs = std::filesystem;

// The bound of the program: 64 MB above idle and about a second of work. The test build's
// sanitizers make the same work several times slower, so its time is allowed three seconds.
constexpr long kMaxExtraKilobytes = 64 * 1024;
constexpr double kMaxExtraSeconds = 3.0;

using Cost = test_support::Ended;

// `args` run in a child, saying nothing.
Cost Run(std::vector<std::string> args) {
    return test_support::RunProgram(
        {.args = std::move(args), .out = "/dev/null", .err = "/dev/null"});
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
