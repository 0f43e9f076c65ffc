#include "platform/pictures/codecs/jpeg_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>
// clang-format on

#include "tests/platform/pictures/codecs/jpeg_test_writer.h"
#include "tests/support/codec_test_support.h"
#include "tests/support/test_files.h"

namespace {

using test_support::DecodedValue;
using test_support::RefusalOf;

using platform::Bitmap;
using platform::PixelFormat;
using platform::codecs::CodecError;
using platform::codecs::DecodeJpeg;
using test_support::CmykStorage;
using test_support::CompressJpegCmyk;
using test_support::CompressJpegColour;
using test_support::CompressJpegGrey;
using test_support::JpegTestOptions;

constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return 0xFF000000u | (b << 16) | (g << 8) | r;
}

// Gentle slopes, a different one per channel: JPEG keeps them well, and a swapped channel or
// a flipped row order shows as a large error.
Bitmap SmoothPattern(int width, int height) {
    Bitmap pixels(width, height, PixelFormat::Colour);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            pixels.Set(
                x, y,
                Rgb(static_cast<std::uint32_t>(30 + x), static_cast<std::uint32_t>(220 - 2 * y),
                    static_cast<std::uint32_t>(90 + (x + y) / 2)));
    }
    return pixels;
}

// Mean absolute difference over the R, G and B samples of two same-sized bitmaps.
double MeanError(const Bitmap& a, const Bitmap& b) {
    double sum = 0;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            for (int shift = 0; shift < 24; shift += 8) {
                sum += std::abs(static_cast<int>((a.At(x, y) >> shift) & 0xFF) -
                                static_cast<int>((b.At(x, y) >> shift) & 0xFF));
            }
        }
    }
    return sum / (3.0 * a.Width() * a.Height());
}

::testing::AssertionResult Near(std::uint32_t actual, std::uint32_t expected, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance) {
            return ::testing::AssertionFailure()
                   << std::hex << "0x" << actual << " is not within " << std::dec << tolerance
                   << " of 0x" << std::hex << expected;
        }
    }
    return ::testing::AssertionSuccess();
}

bool AllOpaque(const Bitmap& pixels) {
    for (std::uint32_t p : pixels.Pixels()) {
        if ((p >> 24) != 0xFF) return false;
    }
    return true;
}

// Offset of the first marker FF `code` in a file made by our writer (its segments are plain).
std::size_t FindMarker(const std::vector<std::uint8_t>& file, std::uint8_t code) {
    for (std::size_t i = 0; i + 1 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == code) return i;
    }
    ADD_FAILURE() << "marker not found";
    return 0;
}

std::size_t SegmentEnd(const std::vector<std::uint8_t>& file, std::size_t marker) {
    return marker + 2 + (std::size_t{file[marker + 2]} << 8 | file[marker + 3]);
}

void SetBigEndian16(std::vector<std::uint8_t>& file, std::size_t at, int value) {
    file[at] = static_cast<std::uint8_t>(value >> 8);
    file[at + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

struct Sampling {
    int h;
    int v;
    double maxError;
};
constexpr Sampling kSamplings[] = {{1, 1, 1.5}, {2, 1, 2.0}, {2, 2, 2.5}};

TEST(JpegDecoder, DecodesColourCloseToSourceAtEverySamplingAndOddSize) {
    const int sizes[][2] = {{1, 1}, {7, 5}, {37, 23}, {64, 48}, {129, 65}, {3, 90}};
    for (const Sampling& sampling : kSamplings) {
        for (const auto& size : sizes) {
            SCOPED_TRACE(std::to_string(size[0]) + "x" + std::to_string(size[1]) + " sampling " +
                         std::to_string(sampling.h) + "x" + std::to_string(sampling.v));
            const Bitmap source = SmoothPattern(size[0], size[1]);
            const Bitmap decoded = DecodedValue(DecodeJpeg(
                CompressJpegColour(source, {.hSampling = sampling.h, .vSampling = sampling.v})));
            ASSERT_EQ(decoded.Width(), size[0]);
            ASSERT_EQ(decoded.Height(), size[1]);
            EXPECT_FALSE(decoded.HasAlpha());
            EXPECT_TRUE(AllOpaque(decoded));
            EXPECT_LT(MeanError(decoded, source), sampling.maxError);
        }
    }
}

TEST(JpegDecoder, PutsEachQuadrantInPlaceWithItsColour) {
    const std::uint32_t colours[4] = {Rgb(220, 40, 40), Rgb(40, 200, 60), Rgb(30, 60, 210),
                                      Rgb(250, 250, 250)};
    Bitmap source(64, 64, PixelFormat::Colour);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) source.Set(x, y, colours[(y / 32) * 2 + x / 32]);
    }
    for (const Sampling& sampling : kSamplings) {
        for (bool progressive : {false, true}) {
            SCOPED_TRACE(std::to_string(sampling.h) + "x" + std::to_string(sampling.v) +
                         (progressive ? " progressive" : " baseline"));
            const Bitmap decoded = DecodedValue(DecodeJpeg(CompressJpegColour(
                source,
                {.hSampling = sampling.h, .vSampling = sampling.v, .progressive = progressive})));
            ASSERT_EQ(decoded.Width(), 64);
            EXPECT_TRUE(Near(decoded.At(16, 16), colours[0], 3));
            EXPECT_TRUE(Near(decoded.At(48, 16), colours[1], 3));
            EXPECT_TRUE(Near(decoded.At(16, 48), colours[2], 3));
            EXPECT_TRUE(Near(decoded.At(48, 48), colours[3], 3));
        }
    }
}

TEST(JpegDecoder, DecodesSolidColourToThatColourEverywhere) {
    const std::uint32_t colour = Rgb(200, 30, 90);
    const Bitmap decoded = DecodedValue(DecodeJpeg(CompressJpegColour(
        Bitmap(45, 31, PixelFormat::Colour, colour), {.hSampling = 2, .vSampling = 2})));
    for (std::uint32_t p : decoded.Pixels()) ASSERT_TRUE(Near(p, colour, 3));
}

TEST(JpegDecoder, DecodesGreyscaleAsEqualChannelsCloseToSource) {
    const int width = 41, height = 19;
    std::vector<std::uint8_t> grey;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) grey.push_back(static_cast<std::uint8_t>(40 + 3 * x + y));
    }
    for (bool progressive : {false, true}) {
        const Bitmap decoded = DecodedValue(
            DecodeJpeg(CompressJpegGrey(grey, width, height, {.progressive = progressive})));
        ASSERT_EQ(decoded.Width(), width);
        ASSERT_EQ(decoded.Height(), height);
        EXPECT_TRUE(AllOpaque(decoded));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint32_t v = grey[static_cast<std::size_t>(y * width + x)];
                ASSERT_TRUE(Near(decoded.At(x, y), Rgb(v, v, v), 3)) << x << "," << y;
            }
        }
    }
}

// Progressive scans and restart markers change how the coefficients are stored, never their
// values, so the pixels must be exactly those of the plain baseline file.
TEST(JpegDecoder, DecodesProgressiveAndRestartFilesExactlyLikeBaseline) {
    const Bitmap source = SmoothPattern(77, 53);
    for (const Sampling& sampling : kSamplings) {
        const JpegTestOptions baseline{.hSampling = sampling.h, .vSampling = sampling.v};
        const Bitmap expected = DecodedValue(DecodeJpeg(CompressJpegColour(source, baseline)));
        JpegTestOptions progressive = baseline;
        progressive.progressive = true;
        EXPECT_EQ(DecodedValue(DecodeJpeg(CompressJpegColour(source, progressive))), expected);
        for (int interval : {1, 3}) {
            JpegTestOptions restarts = baseline;
            restarts.restartInterval = interval;
            const auto file = CompressJpegColour(source, restarts);
            EXPECT_NE(FindMarker(file, 0xD0), 0u) << "the file has no restart marker";
            EXPECT_EQ(DecodedValue(DecodeJpeg(file)), expected);
        }
    }
}

// Four blocks: a mixed ink, white (no ink), black (full K) and full cyan.
struct CmykCase {
    std::uint8_t ink[4];
    std::uint32_t rgb;
};
constexpr CmykCase kCmykCases[] = {
    {{51, 153, 0, 64}, Rgb(153, 76, 191)},
    {{0, 0, 0, 0}, Rgb(255, 255, 255)},
    {{0, 0, 0, 255}, Rgb(0, 0, 0)},
    {{255, 0, 0, 0}, Rgb(0, 255, 255)},
};

std::vector<std::uint8_t> CmykBlocks(bool inverted) {
    std::vector<std::uint8_t> samples;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 64; ++x) {
            for (std::uint8_t ink : kCmykCases[x / 16].ink)
                samples.push_back(inverted ? 255 - ink : ink);
        }
    }
    return samples;
}

void ExpectCmykBlocks(const Bitmap& decoded) {
    ASSERT_EQ(decoded.Width(), 64);
    ASSERT_EQ(decoded.Height(), 16);
    EXPECT_TRUE(AllOpaque(decoded));
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(Near(decoded.At(16 * i + 8, 8), kCmykCases[i].rgb, 3)) << "block " << i;
}

TEST(JpegDecoder, ConvertsAdobeInvertedCmykToRgb) {
    for (CmykStorage storage : {CmykStorage::AdobeYcck, CmykStorage::AdobeCmyk}) {
        SCOPED_TRACE(storage == CmykStorage::AdobeYcck ? "YCCK" : "CMYK");
        ExpectCmykBlocks(
            DecodedValue(DecodeJpeg(CompressJpegCmyk(CmykBlocks(true), 64, 16, storage))));
    }
}

TEST(JpegDecoder, ConvertsPlainCmykWithoutAdobeMarkerToRgb) {
    ExpectCmykBlocks(DecodedValue(
        DecodeJpeg(CompressJpegCmyk(CmykBlocks(false), 64, 16, CmykStorage::PlainCmyk))));
}

TEST(JpegDecoder, KeepsTheDecodedTopOfAFileCutInItsScanData) {
    const Bitmap source = SmoothPattern(64, 64);
    auto file = CompressJpegColour(source);
    const std::size_t scanStart = SegmentEnd(file, FindMarker(file, 0xDA));
    file.resize(scanStart + (file.size() - scanStart) / 2);
    const Bitmap decoded = DecodedValue(DecodeJpeg(file));
    ASSERT_EQ(decoded.Height(), 64);
    EXPECT_LT(MeanError(decoded.Crop(0, 0, 64, 16), source.Crop(0, 0, 64, 16)), 1.5);
}

// Without one byte of scan data there is no picture to show.
TEST(JpegDecoder, RefusesFileCutBeforeItsScanData) {
    const auto whole = CompressJpegColour(SmoothPattern(32, 32));
    for (std::size_t length : {std::size_t{0}, std::size_t{2}, std::size_t{3}, std::size_t{30},
                               FindMarker(whole, 0xC0) + 5, FindMarker(whole, 0xDA) + 6,
                               SegmentEnd(whole, FindMarker(whole, 0xDA))}) {
        SCOPED_TRACE(length);
        EXPECT_EQ(RefusalOf(DecodeJpeg(test_support::Slice(whole, 0, length))),
                  CodecError::Truncated);
    }
}

TEST(JpegDecoder, RefusesZeroWidthOrHeight) {
    const auto whole = CompressJpegColour(SmoothPattern(16, 16));
    const std::size_t sof = FindMarker(whole, 0xC0);
    for (std::size_t field : {sof + 5, sof + 7}) {  // height, then width
        auto file = whole;
        SetBigEndian16(file, field, 0);
        EXPECT_EQ(RefusalOf(DecodeJpeg(file)), CodecError::BadDimensions);
    }
}

TEST(JpegDecoder, ReadsUpTo65500PixelsASideAsLibjpegDoes) {
    auto file = CompressJpegGrey(std::vector<std::uint8_t>(65500, 90), 65500, 1);
    EXPECT_EQ(DecodedValue(DecodeJpeg(file)).Width(), 65500);
    SetBigEndian16(file, FindMarker(file, 0xC0) + 7, 65501);
    EXPECT_EQ(RefusalOf(DecodeJpeg(file)), CodecError::BadDimensions);
}

TEST(JpegDecoder, RefusesHugeClaimedSizeQuicklyBeforeDecoding) {
    auto file = CompressJpegColour(SmoothPattern(16, 16), {.progressive = true});
    const std::size_t sof = FindMarker(file, 0xC2);
    SetBigEndian16(file, sof + 5, 60000);
    SetBigEndian16(file, sof + 7, 60000);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RefusalOf(DecodeJpeg(file)), CodecError::LimitExceeded);
    // Decoding 3.6 gigapixels would take minutes and gigabytes; refusing takes microseconds.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

TEST(JpegDecoder, RefusesGarbageOtherFormatsAndTwelveBitSamples) {
    std::vector<std::uint8_t> garbage = {0xFF, 0xD8};
    for (int i = 0; i < 300; ++i) garbage.push_back(static_cast<std::uint8_t>((i * 37) % 251));
    EXPECT_EQ(RefusalOf(DecodeJpeg(garbage)),
              CodecError::Truncated);  // no marker found before the end
    EXPECT_EQ(RefusalOf(DecodeJpeg(std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A,
                                                             0x0A, 0, 0, 0, 0})),
              CodecError::BadSignature);
    auto twelveBit = CompressJpegColour(SmoothPattern(16, 16));
    twelveBit[FindMarker(twelveBit, 0xC0) + 4] = 12;
    EXPECT_EQ(RefusalOf(DecodeJpeg(twelveBit)), CodecError::Unsupported);
}

// A hostile progressive file repeats a scan without end; every repeat is a full pass.
TEST(JpegDecoder, RefusesProgressiveFileWithEndlessScans) {
    auto file = CompressJpegColour(SmoothPattern(16, 16), {.progressive = true});
    std::size_t lastScan = 0;
    for (std::size_t i = 0; i + 1 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == 0xDA) lastScan = i;
    }
    const std::size_t end = file.size() - 2;  // the EOI marker
    const std::vector<std::uint8_t> scan = test_support::Slice(file, lastScan, end);
    std::vector<std::uint8_t> hostile = test_support::Slice(file, 0, end);
    for (int i = 0; i < 600; ++i) hostile.insert(hostile.end(), scan.begin(), scan.end());
    hostile.insert(hostile.end(), {0xFF, 0xD9});
    EXPECT_EQ(RefusalOf(DecodeJpeg(hostile)), CodecError::LimitExceeded);
}

// A progressive file's eighth as plain libjpeg makes it from every scan.
Bitmap LibjpegEighth(const std::vector<std::uint8_t>& file) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    // libjpeg counts in unsigned long, 32 bits on Windows; test files are small.
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_RGBA;
    info.scale_num = 1;
    info.scale_denom = 8;
    jpeg_start_decompress(&info);
    Bitmap pixels(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                  PixelFormat::Colour);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row =
            reinterpret_cast<JSAMPROW>(pixels.Row(static_cast<int>(info.output_scanline)));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_destroy_decompress(&info);
    return pixels;
}

class KeepingSink final : public platform::codecs::RowSink {
  public:
    void Start(int width, int height) override {
        pixels = Bitmap(width, height, PixelFormat::Colour);
    }
    void Row(int y, const std::uint32_t* row) override {
        std::copy_n(row, pixels.Width(), pixels.Row(y));
    }
    Bitmap pixels;
};

Bitmap ReducedToAnEighth(const std::vector<std::uint8_t>& file) {
    const platform::codecs::FileInput input{std::span<const std::uint8_t>(file)};
    KeepingSink sink;
    const platform::codecs::Status reduced =
        platform::codecs::DecodeJpegReduced(input, platform::codecs::WalkJpeg(input), 1, sink);
    EXPECT_TRUE(reduced.Ok()) << reduced.Failure().detail;
    return sink.pixels;
}

// An eighth of a block is its DC value alone, and the DC scans hold all of them. (Not with the
// colour halved both ways: libjpeg then makes the colour's eighth from 2 x 2 of its
// coefficients rather than smoothing it up, and the DC scans alone give it flat.)
TEST(JpegDecoder, ReducesAProgressiveFileToAnEighthFromItsDcScansAsFromAllItsScans) {
    const Bitmap source = SmoothPattern(150, 100);
    for (const Sampling& sampling : kSamplings) {
        if (sampling.v == 2) continue;
        SCOPED_TRACE(std::to_string(sampling.h) + "x" + std::to_string(sampling.v));
        const auto file = CompressJpegColour(
            source, {.hSampling = sampling.h, .vSampling = sampling.v, .progressive = true});
        EXPECT_EQ(ReducedToAnEighth(file), LibjpegEighth(file));
    }
    std::vector<std::uint8_t> grey;
    for (std::uint32_t p : source.Pixels()) grey.push_back(static_cast<std::uint8_t>(p >> 8));
    const auto file = CompressJpegGrey(grey, 150, 100, {.progressive = true});
    EXPECT_EQ(ReducedToAnEighth(file), LibjpegEighth(file));
}

// A few bytes of arithmetic-coded data can stand for a frame of any size. Its top still decodes
// from a short frame and its eighth a row of blocks at a time, but a decode that holds the whole
// frame is refused from the headers when the frame is far larger than the file; Huffman data
// bounds itself (the frame is cut where it can reach no further), and a frame within the floor
// is decoded whatever the file's size.
TEST(JpegDecoder, RefusesToHoldAWholeArithmeticFrameOutOfProportionToTheFile) {
    const std::vector<std::uint8_t> grey(16 * 16, 128);
    for (const bool arithmetic : {true, false}) {
        for (const int side : {4096, 16384}) {  // 16 and 256 MiB of coefficients
            SCOPED_TRACE((arithmetic ? "arithmetic, " : "Huffman, ") + std::to_string(side));
            auto file =
                CompressJpegGrey(grey, 16, 16, {.progressive = true, .arithmetic = arithmetic});
            const std::size_t sof = FindMarker(file, arithmetic ? 0xCA : 0xC2);
            SetBigEndian16(file, sof + 5, side);
            SetBigEndian16(file, sof + 7, side / 2);
            const platform::codecs::FileInput input{std::span<const std::uint8_t>(file)};
            const auto structure = platform::codecs::WalkJpeg(input);
            KeepingSink top, eighth;
            EXPECT_TRUE(platform::codecs::DecodeJpegRows(input, structure, 32, 32, top).Ok());
            const platform::codecs::Status reduced =
                platform::codecs::DecodeJpegReduced(input, structure, 1, eighth);
            EXPECT_TRUE(reduced.Ok()) << reduced.Failure().detail;
            if (arithmetic && side == 16384) {
                const auto whole = platform::codecs::DecodeJpeg(input);
                ASSERT_FALSE(whole.Ok());
                EXPECT_EQ(whole.Failure().error, CodecError::LimitExceeded);
            }
        }
    }
}

// The offsets of every scan header (FF DA) of a file made by our writer; scan data never
// holds FF DA, since an FF there is always followed by 00.
std::vector<std::size_t> ScanStarts(const std::vector<std::uint8_t>& file) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i + 1 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == 0xDA) starts.push_back(i);
    }
    return starts;
}

// Each scan visits every block of its components, data or none: 64 scans of a picture at the
// picture limit with one component are the work limit exactly.
TEST(JpegDecoder, RefusesAFileWhoseScansWouldVisitMoreBlocksThanTheWorkLimit) {
    const std::vector<std::uint8_t> grey(16 * 16, 128);
    const auto file = CompressJpegGrey(grey, 16, 16, {.progressive = true});
    const std::vector<std::size_t> starts = ScanStarts(file);
    ASSERT_LT(starts.size(), 64u);
    const std::vector<std::uint8_t> lastScan =
        test_support::Slice(file, starts.back(), file.size() - 2);
    for (const std::size_t scans : {64u, 65u}) {
        SCOPED_TRACE(std::to_string(scans) + " scans");
        std::vector<std::uint8_t> hostile(file.begin(), file.end() - 2);  // without its EOI
        for (std::size_t i = starts.size(); i < scans; ++i)
            hostile.insert(hostile.end(), lastScan.begin(), lastScan.end());
        hostile.insert(hostile.end(), {0xFF, 0xD9});
        const std::size_t sof = FindMarker(hostile, 0xC2);
        SetBigEndian16(hostile, sof + 5, 8192);   // 1024 block rows
        SetBigEndian16(hostile, sof + 7, 16384);  // of 2048 blocks: 2^21 blocks a scan
        const platform::codecs::FileInput input{std::span<const std::uint8_t>(hostile)};
        const auto layout = platform::codecs::ReadJpegLayout(input);
        if (scans == 64) {
            EXPECT_TRUE(layout.Ok()) << layout.Failure().detail;
        } else {
            EXPECT_EQ(RefusalOf(layout), CodecError::LimitExceeded);
        }
    }
}

// Files that cost out of all proportion to their size, refused before the cost.
TEST(JpegDecoder, RefusesEveryRegressionFileQuickly) {
    int files = 0;
    for (const auto& item : std::filesystem::directory_iterator(test_support::SourceDir() /
                                                                "tests/data/regressions")) {
        if (!item.path().filename().string().starts_with("jpeg_")) continue;
        SCOPED_TRACE(item.path().string());
        ++files;
        const auto bytes = test_support::ReadBytes(item.path());
        const platform::codecs::FileInput input{std::span<const std::uint8_t>(bytes)};
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(RefusalOf(DecodeJpeg(input)), CodecError::LimitExceeded);
        EXPECT_EQ(RefusalOf(platform::codecs::ReadJpegLayout(input)), CodecError::LimitExceeded);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    }
    EXPECT_GT(files, 0);
}

}  // namespace
