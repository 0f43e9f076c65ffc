// Small files that claim huge pictures, and large pictures whose every pixel counts:
// zentrova-convert (converting, listing and extracting), and the window's decoding of what it
// shows, run on each in a child process,
// hold no more memory and spend no more time than a fixed bound above what a tiny picture costs
// them.
#include <gtest/gtest.h>

#include <algorithm>
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
// sanitizers make the same work several times slower, and a test beside it on the other of two
// cores slows it by a third more (the overview of the PNG that claims 11585 x 11585 takes 2.5 s
// alone and 3.3 s so), so its time is allowed four seconds.
constexpr long kMaxExtraKilobytes = 64 * 1024;
constexpr double kMaxExtraSeconds = 4.0;

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

// The entries of `input` listed, and written as PNG files into `folder`.
Cost List(const std::string& input) {
    return Run({ZENTROVA_CONVERT_PROGRAM, "--list", input});
}
Cost Extract(const std::string& input, const fs::path& folder) {
    return Run({ZENTROVA_CONVERT_PROGRAM, "--extract", "-d", folder.string(), input});
}

// The whole of `input` made into an icon of several sizes, into `folder`.
Cost MakeIconSet(const std::string& input, const fs::path& folder) {
    return Run({ZENTROVA_CONVERT_PROGRAM, "--sizes", "windows", "-d", folder.string(), input});
}

// What the window decodes of `input` once it has opened it: a pane's corner and the overview.
Cost Show(const std::string& input) {
    return Run({ZENTROVA_PICTURE_TOOL, "show", input});
}

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A bitmap's info header, 40 bytes, with the fields these pictures need.
void PutInfoHeader(std::vector<std::uint8_t>& out, int width, int height, int bitCount,
                   std::uint32_t compression, std::uint32_t coloursUsed) {
    Put(out, 40, 4);
    Put(out, static_cast<std::uint32_t>(width), 4);
    Put(out, static_cast<std::uint32_t>(height), 4);
    Put(out, 1, 2);
    Put(out, static_cast<std::uint32_t>(bitCount), 2);
    for (const std::uint32_t field : {compression, 0u, 0u, 0u, coloursUsed, 0u}) Put(out, field, 4);
}

// `head`, then zeros up to `size` bytes: a sparse file, so a picture of a hundred megabytes
// costs the disk nothing. Its first stored row, `row`, is written after the head.
std::string WriteLarge(const fs::path& path, std::vector<std::uint8_t> head,
                       const std::vector<std::uint8_t>& row, std::uintmax_t size) {
    head.insert(head.end(), row.begin(), row.end());
    test_support::WriteBytes(path, head);
    fs::resize_file(path, size);
    return path.string();
}

// Large pictures whose every pixel must be read once to tell whether the file holds alpha, a
// pixel past its palette or an icon's mask: 32-bit with alpha, a short palette, and the 32-bit
// bitmap entry of an icon. Each would take well over 64 MB held whole.
std::vector<std::string> WriteLargePictures(const fs::path& folder) {
    // Wide rows, and few enough of them for the sanitizers' time.
    constexpr int kSide = 4096;
    constexpr int kRows = 3072;
    constexpr int kIconRows = 2048;
    constexpr std::uint32_t kRowBytes32 = kSide * 4;
    std::vector<std::string> paths;
    // BI_ALPHABITFIELDS, 48 MB of pixels; the bottom row opaque red, the rest transparent.
    std::vector<std::uint8_t> head = {'B', 'M'};
    Put(head, 0, 4);  // bfSize, not relied on
    Put(head, 0, 4);
    Put(head, 14 + 40 + 16, 4);
    PutInfoHeader(head, kSide, kRows, 32, 6, 0);
    for (const std::uint32_t mask : {0xFF0000u, 0xFF00u, 0xFFu, 0xFF000000u}) Put(head, mask, 4);
    std::vector<std::uint8_t> row;
    for (int x = 0; x < kSide; ++x) Put(row, 0xFFFF0000u, 4);
    paths.push_back(WriteLarge(folder / "bmp_32_bits_with_alpha_4096_by_3072.bmp", head, row,
                               head.size() + std::uintmax_t{kRowBytes32} * kRows));
    // 8 bits with 16 colours, 25 MB of pixels that would be 100 MB decoded.
    constexpr int kPaletteSide = 5000;
    head = {'B', 'M'};
    Put(head, 0, 4);  // bfSize, not relied on
    Put(head, 0, 4);
    Put(head, 14 + 40 + 16 * 4, 4);
    PutInfoHeader(head, kPaletteSide, kPaletteSide, 8, 0, 16);
    for (std::uint32_t i = 0; i < 16; ++i) Put(head, i * 0x101010u, 4);
    row.assign(kPaletteSide, 15);
    paths.push_back(WriteLarge(folder / "bmp_8_bits_short_palette_5000_square.bmp", head, row,
                               head.size() + std::uintmax_t{kPaletteSide} * kPaletteSide));
    // An icon whose one entry is a 32-bit bitmap of 4096 x 2048 and its mask: 33 MB that
    // would be 97 MB held whole.
    const std::uint32_t entryBytes = 40 + (kRowBytes32 + kSide / 8) * kIconRows;
    head.clear();
    for (const std::uint32_t field : {0u, 1u, 1u}) Put(head, field, 2);
    Put(head, 0, 4);  // 0 x 0: 256 or more a side
    Put(head, 1, 2);
    Put(head, 32, 2);
    Put(head, entryBytes, 4);
    Put(head, 22, 4);
    PutInfoHeader(head, kSide, kIconRows * 2, 32, 0, 0);
    row.clear();
    for (int x = 0; x < kSide; ++x) Put(row, 0x80336699u, 4);
    paths.push_back(WriteLarge(folder / "ico_32_bit_bitmap_entry_4096_by_2048.ico", head, row,
                               22 + std::uintmax_t{entryBytes}));
    return paths;
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
    const std::vector<std::string> large = WriteLargePictures(dir.Path());
    inputs.insert(inputs.end(), large.begin(), large.end());

    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        const Cost cost = Convert(input, dir.Path());
        ExpectWithinBound(cost, idle, "converted");
        const Cost shown = Show(input);
        ExpectWithinBound(shown, idleShow, "shown");
        const Cost listed = List(input);
        ExpectWithinBound(listed, idle, "listed");
        const Cost extracted = Extract(input, dir.Path());
        ExpectWithinBound(extracted, idle, "extracted");
        if (std::find(large.begin(), large.end(), input) != large.end()) {
            EXPECT_EQ(cost.status, 0);
            EXPECT_EQ(shown.status, 0);
        }
        std::printf(
            "%-56s status %d, %ld KB, %.2f s; shown %ld KB, %.2f s; listed %ld KB, %.2f s; "
            "extracted (status %d) %ld KB, %.2f s\n",
            fs::path(input).filename().c_str(), cost.status, cost.peakKilobytes, cost.cpuSeconds,
            shown.peakKilobytes, shown.cpuSeconds, listed.peakKilobytes, listed.cpuSeconds,
            extracted.status, extracted.peakKilobytes, extracted.cpuSeconds);
    }
}

// An icon of several sizes reads every pixel a picture claims, so its time follows the
// picture, not the file; what it holds does not: a few rows of sums, whatever the size, an
// interlaced picture included.
TEST(BoundedCost, AnIconSetOfAHugePictureHoldsNoMoreThanOfASmallOne) {
    test_support::TempDir dir;
    const Cost idle =
        MakeIconSet((test_support::CorporaDir() / "bmpsuite/g/pal8.bmp").string(), dir.Path());
    ASSERT_EQ(idle.status, 0);
    for (const auto& item :
         fs::directory_iterator(test_support::SourceDir() / "tests/data/regressions/bombs")) {
        SCOPED_TRACE(item.path().string());
        const Cost cost = MakeIconSet(item.path().string(), dir.Path());
        EXPECT_TRUE(cost.status == 0 || cost.status == 1) << "status " << cost.status;
        EXPECT_LE(cost.peakKilobytes - idle.peakKilobytes, kMaxExtraKilobytes)
            << cost.peakKilobytes << " KB at its peak, " << idle.peakKilobytes << " KB idle";
        std::printf("%-56s status %d, %ld KB, %.2f s\n", item.path().filename().c_str(),
                    cost.status, cost.peakKilobytes, cost.cpuSeconds);
    }
}

}  // namespace
}  // namespace zentrova
