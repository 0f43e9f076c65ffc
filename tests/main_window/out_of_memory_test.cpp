// Memory that runs out, shown in a child whose address space is cut short (POSIX only).
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "tests/main_window/file_road_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/test_files.h"

namespace zentrova {
namespace {

// The sanitizers' allocator ends the process where an allocation fails, rather than failing it.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZENTROVA_ALLOCATOR_FROM_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ZENTROVA_ALLOCATOR_FROM_SANITIZER 1
#endif
#ifdef ZENTROVA_ALLOCATOR_FROM_SANITIZER
constexpr bool kAllocationsCanFail = false;
#else
constexpr bool kAllocationsCanFail = true;
#endif

// The process's address space now, in bytes.
long long AddressSpaceBytes() {
    std::ifstream statm("/proc/self/statm");
    long long pages = 0;
    statm >> pages;
    return pages * ::sysconf(_SC_PAGESIZE);
}

// Memory that runs out while a picture is opened fails that picture, not the window: with too
// little address space left for its pixels, File > Open says the file is not a valid picture,
// and the window goes on to open the next one.
TEST_F(FileRoad, RunningOutOfMemoryOnAPictureFailsThatPictureOnly) {
    if (!kAllocationsCanFail) GTEST_SKIP() << "the sanitizers' allocator never fails";
    // 2800 x 2800 one-bit pixels: a file under a megabyte, decoded whole into 31 MB.
    constexpr std::uint32_t kSide = 2800, kStride = (kSide + 31) / 32 * 4;
    // The file header, the info header (one plane and one bit: 0x10001) and a palette of
    // black and white.
    std::vector<std::uint8_t> file = {'B', 'M'};
    for (const std::uint32_t field :
         {0u, 0u, 62u, 40u, kSide, kSide, 0x10001u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0xFFFFFFu}) {
        for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(field >> (8 * i)));
    }
    file.resize(62 + std::size_t{kStride} * kSide, 0x5A);
    const std::string large = dir.File("large.bmp");
    test_support::WriteBytes(large, file);
    const std::string small = MakePicture("small.bmp");

    const int status = test_support::RunInChild([&] {
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(AddressSpaceBytes() + (16 << 20));
        if (::setrlimit(RLIMIT_AS, &limit) != 0) return 254;
        dialogs.Answer(large);
        Main().mnuOpen.Click();
        if (Messages().size() != 1 ||
            Messages()[0].prompt != "File " + large + " is not a valid picture!") {
            return 1;
        }
        Open(small, dir.File("small.ico"));
        return Messages().size() == 1 && std::filesystem::exists(dir.File("small.ico")) ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace zentrova
