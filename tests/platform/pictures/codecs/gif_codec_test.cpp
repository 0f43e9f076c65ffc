#include "platform/pictures/codecs/gif_codec.h"

#include <gtest/gtest.h>

#include <chrono>

#include "tests/platform/pictures/codecs/gif_test_writer.h"
#include "tests/support/codec_test_support.h"

namespace {

using test_support::DecodedValue;
using test_support::RefusalOf;

using platform::Bitmap;
using platform::PixelFormat;
using platform::codecs::CodecError;
using platform::codecs::DecodeGif;
using test_support::GifColours;
using test_support::GifTestFile;
using test_support::GifTestFrame;
using test_support::WriteGif;

constexpr std::uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF;
constexpr std::uint32_t kOpaque = 0xFF000000u;

// The indices 0..count-1 in a repeating pattern, so every row differs from its neighbours.
std::vector<std::uint8_t> Pattern(int width, int height, int count) {
    std::vector<std::uint8_t> indices;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            indices.push_back(static_cast<std::uint8_t>((x + 2 * y) % count));
    }
    return indices;
}

GifTestFrame Frame(int left, int top, int width, int height, int colourCount) {
    return GifTestFrame{.left = left,
                        .top = top,
                        .width = width,
                        .height = height,
                        .indices = Pattern(width, height, colourCount)};
}

// What a frame should look like on its screen: colours through `palette`, transparent elsewhere.
Bitmap Expected(int screenWidth, int screenHeight, const GifTestFrame& frame,
                const GifColours& palette) {
    Bitmap expected(screenWidth, screenHeight, PixelFormat::Colour, 0);
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            const int index = frame.indices[static_cast<std::size_t>(y * frame.width + x)];
            if (!expected.Contains(frame.left + x, frame.top + y)) continue;
            const std::uint32_t pixel = index == frame.transparentIndex
                                            ? 0
                                            : (kOpaque | palette[static_cast<std::size_t>(index)]);
            expected.Set(frame.left + x, frame.top + y, pixel);
        }
    }
    return expected;
}

const GifColours kFour = {kRed, kGreen, kBlue, kWhite};

TEST(GifDecoder, DecodesAnOpaqueFrameCoveringTheScreenWithoutAlpha) {
    const GifTestFrame frame = Frame(0, 0, 5, 3, 4);
    const Bitmap decoded = DecodedValue(DecodeGif(WriteGif(
        {.screenWidth = 5, .screenHeight = 3, .globalColours = kFour, .frames = {frame}})));
    EXPECT_EQ(decoded.Pixels(), Expected(5, 3, frame, kFour).Pixels());
    EXPECT_FALSE(decoded.HasAlpha());
}

TEST(GifDecoder, MakesTheTransparentIndexTransparent) {
    GifTestFrame frame = Frame(0, 0, 6, 4, 4);
    frame.transparentIndex = 1;
    const Bitmap decoded = DecodedValue(DecodeGif(WriteGif(
        {.screenWidth = 6, .screenHeight = 4, .globalColours = kFour, .frames = {frame}})));
    EXPECT_EQ(decoded.Pixels(), Expected(6, 4, frame, kFour).Pixels());
    EXPECT_EQ(decoded.At(1, 0), 0u);
    EXPECT_TRUE(decoded.HasAlpha());

    // A transparent index that no pixel uses still makes a picture with alpha.
    frame.transparentIndex = 9;
    EXPECT_TRUE(
        DecodedValue(
            DecodeGif(WriteGif(
                {.screenWidth = 6, .screenHeight = 4, .globalColours = kFour, .frames = {frame}})))
            .HasAlpha());
}

TEST(GifDecoder, LeavesTheScreenOutsideTheFrameTransparentAndClipsTheFrame) {
    const GifTestFrame frame = Frame(4, 3, 4, 4, 4);  // reaches 2 columns and 1 row past the screen
    const Bitmap decoded = DecodedValue(DecodeGif(WriteGif(
        {.screenWidth = 6, .screenHeight = 6, .globalColours = kFour, .frames = {frame}})));
    ASSERT_EQ(decoded.Width(), 6);
    ASSERT_EQ(decoded.Height(), 6);
    EXPECT_EQ(decoded.Pixels(), Expected(6, 6, frame, kFour).Pixels());
    EXPECT_EQ(decoded.At(0, 0), 0u);
    EXPECT_EQ(decoded.At(4, 3), kOpaque | kRed);
    EXPECT_TRUE(decoded.HasAlpha());
}

TEST(GifDecoder, PutsInterlacedRowsInDisplayOrder) {
    GifColours ramp;
    for (std::uint32_t i = 0; i < 256; ++i) ramp.push_back(i | (255 - i) << 8 | (i / 2) << 16);
    for (int height = 1; height <= 20; ++height) {
        SCOPED_TRACE(height);
        GifTestFrame frame{.width = 3, .height = height, .interlaced = true};
        for (int y = 0; y < height; ++y)
            frame.indices.insert(frame.indices.end(), 3, static_cast<std::uint8_t>(10 * y));
        const Bitmap decoded = DecodedValue(DecodeGif(WriteGif(
            {.screenWidth = 3, .screenHeight = height, .globalColours = ramp, .frames = {frame}})));
        EXPECT_EQ(decoded.Pixels(), Expected(3, height, frame, ramp).Pixels());
        EXPECT_FALSE(decoded.HasAlpha());
    }
}

TEST(GifDecoder, UsesTheFrameColourTableBeforeTheGlobalOne) {
    GifTestFrame frame = Frame(0, 0, 4, 2, 2);
    frame.localColours = GifColours{kBlue, kWhite};
    const Bitmap decoded = DecodedValue(DecodeGif(WriteGif(
        {.screenWidth = 4, .screenHeight = 2, .globalColours = kFour, .frames = {frame}})));
    EXPECT_EQ(decoded.Pixels(), Expected(4, 2, frame, *frame.localColours).Pixels());

    // Without a global table the frame's own still serves.
    EXPECT_EQ(
        DecodedValue(DecodeGif(WriteGif({.screenWidth = 4, .screenHeight = 2, .frames = {frame}})))
            .Pixels(),
        Expected(4, 2, frame, *frame.localColours).Pixels());
}

TEST(GifDecoder, RefusesAFrameWithNoColourTableAtAll) {
    EXPECT_EQ(RefusalOf(DecodeGif(WriteGif(
                  {.screenWidth = 4, .screenHeight = 2, .frames = {Frame(0, 0, 4, 2, 2)}}))),
              CodecError::BadHeader);
}

TEST(GifDecoder, ShowsIndicesPastTheColourTableAsOpaqueBlack) {
    GifTestFrame frame{.width = 3, .height = 1, .indices = {0, 5, 255}};
    const Bitmap decoded =
        DecodedValue(DecodeGif(WriteGif({.screenWidth = 3,
                                         .screenHeight = 1,
                                         .globalColours = GifColours{kWhite, kRed},
                                         .frames = {frame}})));
    EXPECT_EQ(decoded.Pixels(), (std::vector<std::uint32_t>{kOpaque | kWhite, kOpaque, kOpaque}));
}

TEST(GifDecoder, ReturnsTheFirstFrameOnly) {
    const GifTestFrame first = Frame(0, 0, 4, 4, 4);
    GifTestFrame second = Frame(1, 1, 2, 2, 2);
    second.indices = {3, 3, 3, 3};
    second.transparentIndex = 0;
    const Bitmap decoded = DecodedValue(DecodeGif(WriteGif(
        {.screenWidth = 4, .screenHeight = 4, .globalColours = kFour, .frames = {first, second}})));
    EXPECT_EQ(decoded.Pixels(), Expected(4, 4, first, kFour).Pixels());
    EXPECT_FALSE(decoded.HasAlpha());
}

TEST(GifDecoder, TakesTheFrameExtentWhenTheScreenSizeIsZero) {
    const GifTestFrame frame = Frame(1, 2, 3, 2, 4);
    const Bitmap decoded =
        DecodedValue(DecodeGif(WriteGif({.globalColours = kFour, .frames = {frame}})));
    ASSERT_EQ(decoded.Width(), 4);
    ASSERT_EQ(decoded.Height(), 4);
    EXPECT_EQ(decoded.Pixels(), Expected(4, 4, frame, kFour).Pixels());
}

TEST(GifDecoder, RefusesHugeScreenOrFrameQuicklyBeforeDecoding) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RefusalOf(DecodeGif(WriteGif({.screenWidth = 65535,
                                            .screenHeight = 65535,
                                            .globalColours = kFour,
                                            .frames = {Frame(0, 0, 2, 2, 4)}}))),
              CodecError::LimitExceeded);
    // A frame of 4 gigapixels on a small screen: every row would be decoded only to be dropped.
    GifTestFrame huge = Frame(0, 0, 2, 2, 4);
    huge.width = huge.height = 65535;
    EXPECT_EQ(
        RefusalOf(DecodeGif(WriteGif(
            {.screenWidth = 10, .screenHeight = 10, .globalColours = kFour, .frames = {huge}}))),
        CodecError::LimitExceeded);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

TEST(GifDecoder, KeepsTheRowsOfAFrameCutShortAndLeavesTheRestTransparent) {
    // giflib reads data in blocks of 255 bytes (about 220 pixels here), so the cut is well
    // past the first blocks.
    const GifTestFrame frame = Frame(0, 0, 40, 40, 4);
    auto file = WriteGif(
        {.screenWidth = 40, .screenHeight = 40, .globalColours = kFour, .frames = {frame}});
    file.resize(file.size() * 6 / 10);
    const Bitmap decoded = DecodedValue(DecodeGif(file));
    ASSERT_EQ(decoded.Height(), 40);
    const Bitmap expected = Expected(40, 40, frame, kFour);
    EXPECT_EQ(decoded.Crop(0, 0, 40, 10).Pixels(), expected.Crop(0, 0, 40, 10).Pixels());
    EXPECT_EQ(decoded.At(10, 39), 0u);
    EXPECT_TRUE(decoded.HasAlpha());
}

TEST(GifDecoder, KeepsTheWholeFrameWhenOnlyItsEndMarkersAreMissing) {
    const GifTestFrame frame = Frame(0, 0, 7, 9, 4);
    auto file =
        WriteGif({.screenWidth = 7, .screenHeight = 9, .globalColours = kFour, .frames = {frame}});
    file.resize(file.size() - 2);  // the data's closing empty block and the trailer
    const Bitmap decoded = DecodedValue(DecodeGif(file));
    EXPECT_EQ(decoded.Pixels(), Expected(7, 9, frame, kFour).Pixels());
    EXPECT_FALSE(decoded.HasAlpha());
}

TEST(GifDecoder, RefusesAFileCutBeforeItsFirstRow) {
    const auto whole = WriteGif({.screenWidth = 8,
                                 .screenHeight = 8,
                                 .globalColours = kFour,
                                 .frames = {Frame(0, 0, 8, 8, 4)}});
    for (std::size_t length : {0u, 3u, 6u, 12u, 13u + 12, 13u + 12 + 10, 13u + 12 + 12}) {
        SCOPED_TRACE(length);
        EXPECT_EQ(RefusalOf(DecodeGif(test_support::Slice(whole, 0, length))),
                  CodecError::Truncated);
    }
}

TEST(GifDecoder, RefusesOtherFormatsAndFilesWithoutFrames) {
    EXPECT_EQ(RefusalOf(DecodeGif(
                  std::vector<std::uint8_t>{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})),
              CodecError::BadSignature);
    EXPECT_EQ(RefusalOf(DecodeGif(
                  WriteGif({.screenWidth = 8, .screenHeight = 8, .globalColours = kFour}))),
              CodecError::Corrupt);
}

}  // namespace
