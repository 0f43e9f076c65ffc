#include "platform/runtime_text.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(RuntimeText, AsciiUpperCaseChangesAsciiLettersAlone) {
    EXPECT_EQ(AsciiUpperCase("`az{ AZ é"), "`AZ{ AZ é");
}

TEST(RuntimeText, CharactersCountAndCutCharactersNotBytes) {
    using namespace characters;
    EXPECT_EQ(Len("é.x"), 3u);
    EXPECT_EQ(Right("photo.jpeg", 4), "jpeg");
    EXPECT_EQ(Right("aé", 1), "é");
    EXPECT_EQ(Right("ab", 4), "ab");
    EXPECT_EQ(UCase("a.Ico"), "A.ICO");
    EXPECT_TRUE(EndsWithNoCase("/tmp/x.ico", ".ICO"));
    EXPECT_FALSE(EndsWithNoCase("ico", ".ICO"));
}

}  // namespace
}  // namespace platform
