// What a save leaves behind when it fails, is interrupted or is killed: never a temporary
// file for long, and never a damaged target.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <random>
#include <set>
#include <thread>

#include "platform/files/atomic_file.h"
#include "tests/support/child_process.h"
#include "tests/support/other_users.h"
#include "tests/support/test_files.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using test_support::ReadBytes;
using test_support::TempDir;
using test_support::WriteBytes;

const std::vector<std::uint8_t> kOld(5000, 0x11);

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

void Touch(const std::string& path, std::time_t modified) {
    const timespec times[2] = {{modified, 0}, {modified, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(SaveLeftovers, AFailureMidwayRemovesTheTemporaryFile) {
    TempDir dir;
    WriteBytes(dir.File("out.bmp"), kOld);
    const std::vector<std::uint8_t> big(64 * 1024, 0x22);
    const int result = test_support::RunInChild([&] {
        // Writing past the limit fails with EFBIG once the signal it raises is ignored.
        const rlimit limit{4096, 4096};
        ::signal(SIGXFSZ, SIG_IGN);
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 254;
        return WriteFileAtomically(dir.File("out.bmp"), big).value();
    });
    EXPECT_EQ(result, EFBIG);
    EXPECT_EQ(ReadBytes(dir.File("out.bmp")), kOld);
    EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"out.bmp"});
}

TEST(SaveLeftovers, TheNextSaveRemovesTemporaryFilesOfItsOwnPatternThatNoSaveHolds) {
    TempDir dir;
    const std::set<std::string> kept = {
        ".zentrova-Held42",   // a save in progress holds it
        ".zentrova-Ab12C",    // one letter short
        ".zentrova-Ab12Cde",  // one letter more
        ".zentrova-Ab_2Cd",   // not a letter or digit
        "zentrova-Ab12Cd",    // no dot
        ".out.ICO.Ab12Cd",    // another program's pattern
        ".zentrova-Dir123",   // not a file
    };
    for (const std::string& name : kept) WriteBytes(dir.File(name), kOld);
    fs::remove(dir.Path() / ".zentrova-Dir123");
    fs::create_directory(dir.Path() / ".zentrova-Dir123");
    WriteBytes(dir.File(".zentrova-Gone99"), kOld);
    const int held = ::open(dir.File(".zentrova-Held42").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    ASSERT_FALSE(WriteFileAtomically(dir.File("out.ICO"), kOld));
    ::close(held);
    std::set<std::string> expected = kept;
    expected.insert("out.ICO");
    EXPECT_EQ(Names(dir.Path()), expected);
}

TEST(SaveLeftovers, WhereNoLockCanTellOnlyTemporaryFilesUnchangedForAMinuteGo) {
    RUN_AS_ROOT();
    // A file nobody may not open cannot be tried for its lock; only its age is left.
    TempDir dir;
    fs::permissions(dir.Path(), fs::perms::all);
    for (const char* name : {".zentrova-Old111", ".zentrova-New111"}) {
        WriteBytes(dir.File(name), kOld);
        fs::permissions(dir.File(name), fs::perms::owner_read | fs::perms::owner_write);
    }
    Touch(dir.File(".zentrova-Old111"), std::time(nullptr) - 61);
    Touch(dir.File(".zentrova-New111"), std::time(nullptr) - 50);
    EXPECT_EQ(test_support::RunAsNobody(
                  [&] { return WriteFileAtomically(dir.File("out.ICO"), kOld).value(); }),
              0);
    EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{".zentrova-New111", "out.ICO"}));
}

// A child that saves one of two large contents over `path` again and again until it is
// stopped; returns once it has begun its first save.
pid_t StartSavingInALoop(const TempDir& dir, const std::string& path,
                         const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        for (bool first = true;; first = !first) WriteFileAtomically(path, first ? a : b);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (Names(dir.Path()).size() < 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    return pid;
}

TEST(SaveLeftovers, TermIntAndHupRemoveTheTemporaryFileAndStillEndTheProcess) {
    TempDir dir;
    const std::string path = dir.File("out.bmp");
    const std::vector<std::uint8_t> a(256 << 10, 0x22), b(192 << 10, 0x33);
    std::mt19937 random(12345);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        for (int run = 0; run < 5; ++run) {
            SCOPED_TRACE(testing::Message() << "signal " << signal << ", run " << run);
            WriteBytes(path, kOld);
            const pid_t child = StartSavingInALoop(dir, path, a, b);
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 10000));
            ::kill(child, signal);
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
            EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"out.bmp"});
            const std::vector<std::uint8_t> now = ReadBytes(path);
            EXPECT_TRUE(now == kOld || now == a || now == b) << now.size() << " bytes";
        }
    }
}

TEST(SaveLeftovers, KilledAtRandomMomentsASaveLeavesTheOldOrTheNewFileAndTheNextSaveCleansUp) {
    TempDir dir;
    const std::string path = dir.File("out.bmp");
    const std::vector<std::uint8_t> a(64 << 10, 0x22), b(48 << 10, 0x33);
    std::mt19937 random(4242);
    int oldKept = 0, newComplete = 0, leftTemporary = 0;
    WriteBytes(path, kOld);
    for (int run = 0; run < 100; ++run) {
        SCOPED_TRACE(testing::Message() << "run " << run);
        const pid_t child = StartSavingInALoop(dir, path, a, b);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 5000));
        ::kill(child, SIGKILL);
        ASSERT_EQ(::waitpid(child, nullptr, 0), child);
        const std::vector<std::uint8_t> now = ReadBytes(path);
        ASSERT_TRUE(now == kOld || now == a || now == b) << now.size() << " bytes";
        (now == kOld ? oldKept : newComplete) += 1;
        leftTemporary += Names(dir.Path()).size() > 1;

        ASSERT_FALSE(WriteFileAtomically(path, kOld));
        ASSERT_EQ(Names(dir.Path()), std::set<std::string>{"out.bmp"});
    }
    std::cout << "100 kills: " << oldKept << " kept the old file, " << newComplete
              << " left a complete new one, " << leftTemporary << " left a temporary file\n";
}

}  // namespace
}  // namespace platform
