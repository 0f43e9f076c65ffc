#include "platform/files/read_only_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/test_files.h"

namespace platform {
namespace {

using test_support::TempDir;
using test_support::WriteBytes;

const std::vector<std::uint8_t> kTen = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

TEST(ReadOnlyFile, ReadsAtAnyOffsetAsFarAsTheFileGoes) {
    TempDir dir;
    WriteBytes(dir.File("ten"), kTen);
    const OpenedFile opened = ReadOnlyFile::Open(dir.File("ten"), 10);
    ASSERT_TRUE(opened.file);
    EXPECT_EQ(opened.file->Size(), 10u);
    std::uint8_t four[4] = {};
    ASSERT_EQ(opened.file->ReadAt(3, four), 4u);
    EXPECT_EQ(std::vector<std::uint8_t>(four, four + 4), (std::vector<std::uint8_t>{3, 4, 5, 6}));
    ASSERT_EQ(opened.file->ReadAt(8, four), 2u);
    EXPECT_EQ(four[1], 9);
    EXPECT_EQ(opened.file->ReadAt(10, four), 0u);
    EXPECT_EQ(opened.file->ReadAt(~std::uint64_t{0} - 1, four), 0u);
}

TEST(ReadOnlyFile, SaysWhyAFileCannotBeOpened) {
    TempDir dir;
    WriteBytes(dir.File("ten"), kTen);
    const auto failure = [](const std::string& path, std::uint64_t maxBytes) {
        return ReadOnlyFile::Open(path, maxBytes).failure;
    };
    EXPECT_EQ(failure(dir.File("missing"), 10), OpenFailure::NotFound);
    EXPECT_EQ(failure((dir.Path() / "missing" / "deeper").string(), 10), OpenFailure::NotFound);
    EXPECT_EQ(failure(dir.Path().string(), 10), OpenFailure::NotAFile);
    EXPECT_EQ(failure(dir.File("ten"), 9), OpenFailure::TooLarge);
    const OpenedFile missing = ReadOnlyFile::Open(dir.File("missing"), 10);
    EXPECT_FALSE(missing.file);
    EXPECT_TRUE(missing.reason);
}

}  // namespace
}  // namespace platform
