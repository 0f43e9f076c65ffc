#include "platform/pictures/codecs/codec_result.h"

#include <gtest/gtest.h>

namespace {

using namespace platform::codecs;

TEST(CodecFailure, IsDescribedByItsErrorThenItsDetailWhenItHasOne) {
    EXPECT_EQ(Describe(Fail(CodecError::Truncated, "file header cut short")),
              "truncated: file header cut short");
    EXPECT_EQ(Describe(Fail(CodecError::Corrupt)), "corrupt data");
}

}  // namespace
