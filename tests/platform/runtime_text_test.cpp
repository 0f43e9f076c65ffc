#include "platform/runtime_text.h"

#include <gtest/gtest.h>

#include <optional>

namespace platform {
namespace {

template <typename Call>
std::optional<ErrorNumber> Raised(Call call) {
    try {
        call();
    } catch (const PlatformError& error) {
        return error.Number();
    }
    return std::nullopt;
}

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

TEST(RuntimeText, BytesCountAndCutBytesNotCharacters) {
    EXPECT_EQ(bytes::Left("é.x", 1), "\xC3");
    EXPECT_EQ(bytes::Left("ab", 4), "ab");
    EXPECT_EQ(bytes::Left("ab", 0), "");
    EXPECT_EQ(bytes::CodeAt("é.x", 2), 0xA9);
    EXPECT_EQ(bytes::CodeAt("é.x", 4), 'x');
}

TEST(RuntimeText, BytesRaiseInvalidProcedureCallOutOfRange) {
    EXPECT_EQ(Raised([] { bytes::CodeAt("ab", 0); }), ErrorNumber::InvalidProcedureCall);
    EXPECT_EQ(Raised([] { bytes::CodeAt("ab", 3); }), ErrorNumber::InvalidProcedureCall);
    EXPECT_EQ(Raised([] { bytes::CodeAt("", 1); }), ErrorNumber::InvalidProcedureCall);
    EXPECT_EQ(Raised([] { bytes::Left("ab", -1); }), ErrorNumber::InvalidProcedureCall);
}

}  // namespace
}  // namespace platform
