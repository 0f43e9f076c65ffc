// Our decoder of a progressive file's DC scans against libjpeg's eighth of the same scans: the
// same pixels for every sampling, colour space, scan layout, restart interval, cut and damage,
// Huffman or arithmetic coded.
#include "platform/pictures/codecs/jpeg_dc_eighth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <random>
#include <string>

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>
// clang-format on

#include "platform/pictures/codecs/jpeg_cmyk.h"
#include "tests/platform/pictures/codecs/jpeg_test_writer.h"
#include "tests/support/codec_test_support.h"
#include "tests/support/test_files.h"

namespace {

using platform::Bitmap;
using platform::PixelFormat;
using platform::codecs::FileInput;
using platform::codecs::JpegStructure;
using platform::codecs::WalkJpeg;
using test_support::CmykStorage;
using test_support::JpegTestOptions;

using Bytes = std::vector<std::uint8_t>;

// Slopes under strong noise: neighbouring blocks differ by large and small steps alike.
Bitmap NoisyPattern(int width, int height) {
    Bitmap pixels(width, height, PixelFormat::Colour);
    std::minstd_rand noise(7);
    const auto channel = [&](int base) {
        return static_cast<std::uint32_t>(
            std::clamp(base + static_cast<int>(noise() % 81) - 40, 0, 255));
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.Set(x, y,
                       0xFF000000u | channel((x * 7 + y) % 256) |
                           channel(255 - (y * 5) % 256) << 8 | channel((x + y * 3) % 256) << 16);
        }
    }
    return pixels;
}

// The file without its AC scans, as libjpeg is given it for its eighth of the DC scans.
Bytes WithoutAcScans(const Bytes& file) {
    const FileInput input{std::span<const std::uint8_t>(file)};
    const JpegStructure structure = WalkJpeg(input);
    Bytes kept;
    std::size_t from = 0;
    for (const auto& scan : structure.scans) {
        if (scan.dc) continue;
        kept.insert(kept.end(), file.begin() + static_cast<std::ptrdiff_t>(from),
                    file.begin() + static_cast<std::ptrdiff_t>(scan.start));
        from = static_cast<std::size_t>(scan.dataEnd);
    }
    kept.insert(kept.end(), file.begin() + static_cast<std::ptrdiff_t>(from), file.end());
    return kept;
}

struct Trap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void JumpBack(j_common_ptr info) {
    std::longjmp(reinterpret_cast<Trap*>(info->err)->jump, 1);
}
void Quiet(j_common_ptr, int) {}

struct Eighth {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// libjpeg's eighth of the DC scans, without block smoothing (which guesses AC coefficients
// from the neighbours), CMYK turned into colour as our decoders turn it; false when it fails.
bool LibjpegEighth(const Bytes& dcOnly, Eighth& eighth) {
    jpeg_decompress_struct info{};
    Trap trap{};
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = &JumpBack;
    trap.manager.emit_message = &Quiet;
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, dcOnly.data(), static_cast<unsigned long>(dcOnly.size()));
    jpeg_read_header(&info, TRUE);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    info.scale_num = 1;
    info.scale_denom = 8;
    info.do_block_smoothing = FALSE;
    jpeg_start_decompress(&info);
    eighth.width = static_cast<int>(info.output_width);
    eighth.height = static_cast<int>(info.output_height);
    eighth.pixels.resize(static_cast<std::size_t>(info.output_width) * info.output_height);
    while (info.output_scanline < info.output_height) {
        auto* row = eighth.pixels.data() + info.output_scanline * info.output_width;
        JSAMPROW samples = reinterpret_cast<JSAMPROW>(row);
        jpeg_read_scanlines(&info, &samples, 1);
        for (JDIMENSION x = 0; cmyk && x < info.output_width; ++x) {
            std::uint8_t stored[4];
            std::memcpy(stored, &row[x], 4);
            row[x] = platform::codecs::CmykPixel(stored, info.saw_Adobe_marker);
        }
    }
    jpeg_destroy_decompress(&info);
    return true;
}

class KeepingSink final : public platform::codecs::RowSink {
  public:
    void Start(int width, int height) override {
        eighth.width = width;
        eighth.height = height;
        eighth.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    }
    void Row(int y, const std::uint32_t* row) override {
        std::copy_n(row, eighth.width,
                    eighth.pixels.begin() + static_cast<std::ptrdiff_t>(y) * eighth.width);
    }
    Eighth eighth;
};

platform::codecs::Status OurEighth(const Bytes& file, Eighth& eighth) {
    const FileInput input{std::span<const std::uint8_t>(file)};
    KeepingSink sink;
    platform::codecs::Status decoded =
        platform::codecs::DecodeJpegDcEighth(input, WalkJpeg(input), 0, sink);
    eighth = std::move(sink.eighth);
    return decoded;
}

// Ours equals libjpeg's wherever libjpeg makes one; `required` when it must.
void ExpectLikeLibjpeg(const Bytes& file, bool required = true) {
    Eighth expected, actual;
    if (!LibjpegEighth(WithoutAcScans(file), expected)) {
        EXPECT_FALSE(required) << "libjpeg refused it";
        return;
    }
    const platform::codecs::Status decoded = OurEighth(file, actual);
    ASSERT_TRUE(decoded.Ok()) << decoded.Failure().detail;
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    for (std::size_t i = 0; i < actual.pixels.size(); ++i) {
        ASSERT_EQ(actual.pixels[i], expected.pixels[i])
            << "pixel " << i % static_cast<std::size_t>(actual.width) << ","
            << i / static_cast<std::size_t>(actual.width);
    }
}

struct Sampling {
    int h;
    int v;
};

// Huffman codes, arithmetic coding, and arithmetic coding with conditioning other than the
// default, which sorts the differences into other contexts.
const JpegTestOptions kCodings[] = {
    {}, {.arithmetic = true}, {.arithmetic = true, .dcLower = 2, .dcUpper = 5}};

std::string Named(const JpegTestOptions& coding) {
    if (!coding.arithmetic) return "";
    return ", arithmetic L=" + std::to_string(coding.dcLower) +
           " U=" + std::to_string(coding.dcUpper);
}

TEST(JpegDcEighth, GivesLibjpegsPixelsAtEverySamplingSizeAndScanLayout) {
    const std::pair<int, int> sizes[] = {{1, 1}, {37, 23}, {150, 100}, {301, 203}};
    for (const auto& [width, height] : sizes) {
        const Bitmap pattern = NoisyPattern(width, height);
        for (const Sampling s : {Sampling{1, 1}, {2, 1}, {1, 2}, {2, 2}, {4, 1}, {4, 2}}) {
            for (const bool apart : {false, true}) {
                for (JpegTestOptions options : kCodings) {
                    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) +
                                 " sampled " + std::to_string(s.h) + "x" + std::to_string(s.v) +
                                 (apart ? ", a DC scan per component" : "") + Named(options));
                    options.quality = 75;
                    options.hSampling = s.h;
                    options.vSampling = s.v;
                    options.progressive = true;
                    options.dcScanPerComponent = apart;
                    ExpectLikeLibjpeg(test_support::CompressJpegColour(pattern, options));
                }
            }
        }
    }
}

TEST(JpegDcEighth, GivesLibjpegsPixelsForGreyCmykAndYcck) {
    const Bitmap pattern = NoisyPattern(123, 77);
    Bytes grey, cmyk;
    for (std::uint32_t p : pattern.Pixels()) {
        grey.push_back(static_cast<std::uint8_t>(p >> 8));
        for (int shift : {0, 8, 16, 4}) cmyk.push_back(static_cast<std::uint8_t>(~p >> shift));
    }
    for (const auto& [apart, arithmetic] :
         {std::pair{false, false}, {true, false}, {false, true}, {true, true}}) {
        SCOPED_TRACE(std::string(apart ? "a DC scan per component" : "") +
                     (arithmetic ? ", arithmetic" : ""));
        const JpegTestOptions options{
            .progressive = true, .arithmetic = arithmetic, .dcScanPerComponent = apart};
        ExpectLikeLibjpeg(test_support::CompressJpegGrey(grey, 123, 77, options));
        for (const CmykStorage storage :
             {CmykStorage::AdobeYcck, CmykStorage::AdobeCmyk, CmykStorage::PlainCmyk}) {
            SCOPED_TRACE(static_cast<int>(storage));
            ExpectLikeLibjpeg(test_support::CompressJpegCmyk(cmyk, 123, 77, storage, options));
        }
    }
}

// `toDamage`: libjpeg's eighth of colour halved both ways comes from its SIMD 2 x 2 IDCT, which
// wraps DC values far out of range otherwise than the 1 x 1 one does. Damaged arithmetic-coded
// data makes such values, so those files halve the colour across only.
std::vector<Bytes> FilesWithRestarts(bool toDamage = false) {
    const Bitmap pattern = NoisyPattern(150, 100);
    std::vector<Bytes> files;
    for (const int interval : {1, 3}) {
        for (const Sampling s : {Sampling{1, 1}, {2, 2}}) {
            for (const bool apart : {false, true}) {
                for (JpegTestOptions options : kCodings) {
                    options.hSampling = s.h;
                    options.vSampling = toDamage && options.arithmetic ? 1 : s.v;
                    options.progressive = true;
                    options.restartInterval = interval;
                    options.dcScanPerComponent = apart;
                    files.push_back(test_support::CompressJpegColour(pattern, options));
                }
            }
        }
    }
    return files;
}

TEST(JpegDcEighth, GivesLibjpegsPixelsWithRestartIntervals) {
    for (const Bytes& file : FilesWithRestarts()) ExpectLikeLibjpeg(file);
}

// Where the data ends early libjpeg leaves the blocks it did not reach at zero (grey), and so
// do we; damaged codes and restart markers out of order are read as libjpeg reads them.
TEST(JpegDcEighth, GivesLibjpegsPixelsForFilesCutShortOrDamaged) {
    std::minstd_rand random(11);
    int damaged = 0;
    for (const Bytes& file : FilesWithRestarts(true)) {
        for (int step = 1; step < 40; ++step) {
            const std::size_t length = file.size() * static_cast<std::size_t>(step) / 40;
            SCOPED_TRACE("cut at " + std::to_string(length));
            ExpectLikeLibjpeg(test_support::Slice(file, 0, length), false);
        }
        const FileInput input{std::span<const std::uint8_t>(file)};
        const JpegStructure structure = WalkJpeg(input);
        for (const auto& scan : structure.scans) {
            if (!scan.dc) continue;
            for (int i = 0; i < 12; ++i) {
                Bytes changed = file;
                const auto at = static_cast<std::size_t>(
                    scan.dataStart + random() % (scan.dataEnd - scan.dataStart));
                if (changed[at] == 0xFF || changed[at - 1] == 0xFF) {
                    // A restart marker: another number, or another marker's place.
                    if (changed[at] < 0xD0 || changed[at] > 0xD7) continue;
                    changed[at] = static_cast<std::uint8_t>(0xD0 + random() % 8);
                } else {
                    changed[at] = static_cast<std::uint8_t>(random() % 255);
                    if (changed[at] == 0xFF) continue;
                }
                SCOPED_TRACE("byte " + std::to_string(at) + " changed");
                ++damaged;
                ExpectLikeLibjpeg(changed, false);
            }
        }
    }
    EXPECT_GT(damaged, 100);
}

// Arithmetic-coded data goes on past its bytes: the coder reads zeros there, and libjpeg
// decodes every block of a frame larger than the data describes from them. Ours gives the same
// rows, though it stops running the coder once they can be told without it.
TEST(JpegDcEighth, GivesLibjpegsPixelsForAFrameFarLargerThanItsData) {
    const Bitmap pattern = NoisyPattern(24, 24);
    Bytes grey;
    for (std::uint32_t p : pattern.Pixels()) grey.push_back(static_cast<std::uint8_t>(p >> 8));
    for (const int interval : {0, 1, 7}) {
        for (const JpegTestOptions& coding : kCodings) {
            JpegTestOptions options = coding;
            options.progressive = true;
            options.restartInterval = interval;
            for (Bytes file : {test_support::CompressJpegGrey(grey, 24, 24, options),
                               test_support::CompressJpegColour(pattern, options)}) {
                SCOPED_TRACE("interval " + std::to_string(interval) + Named(coding) + ", " +
                             std::to_string(file[file.size() / 2]));
                for (std::size_t i = 0; i + 8 < file.size(); ++i) {
                    if (file[i] != 0xFF || (file[i + 1] != 0xC2 && file[i + 1] != 0xCA)) continue;
                    file[i + 5] = 2400 >> 8;  // 2400 rows of 720
                    file[i + 6] = 2400 & 0xFF;
                    file[i + 7] = 720 >> 8;
                    file[i + 8] = 720 & 0xFF;
                    break;
                }
                ExpectLikeLibjpeg(file);
            }
        }
    }
}

// The JPEG files of the corpora and of our fuzz seeds that are progressive, Huffman and
// arithmetic coded.
TEST(JpegDcEighth, GivesLibjpegsPixelsForTheProgressiveFilesOfTheCorporaAndSeeds) {
    int compared = 0;
    for (const auto& folder : {test_support::CorporaDir(),
                               test_support::SourceDir() / "tests" / "fuzz" / "seeds" / "jpeg"}) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            if (entry.path().extension() != ".jpg") continue;
            const Bytes file = test_support::ReadBytes(entry.path());
            if (!WalkJpeg(FileInput{std::span<const std::uint8_t>(file)}).progressive) continue;
            SCOPED_TRACE(entry.path().string());
            ExpectLikeLibjpeg(file);
            ++compared;
        }
    }
    EXPECT_GE(compared, 4);
}

// A segment may hold nothing after its length.
TEST(JpegDcEighth, ReadsEmptyMarkerSegments) {
    Bytes file = test_support::CompressJpegColour(NoisyPattern(40, 40), {.progressive = true});
    file.insert(file.begin() + 2, {0xFF, 0xE5, 0x00, 0x02});
    ExpectLikeLibjpeg(file);
}

// Found by fuzzing: a DC table whose codes run past their length is found bad before any of
// them is put in the table of short codes (which they would overrun).
TEST(JpegDcEighth, ReadsATableWhoseCodesRunPastTheirLengthWithoutOverrunningIt) {
    const Bytes file = {
        0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x02,
        0x00, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04,
        0x17, 0x04, 0x04, 0x04, 0x04, 0x04, 0xbb, 0x44, 0x1e, 0x9f, 0x1e, 0xff, 0xc2, 0x00,
        0x0b, 0x08, 0x00, 0xbc, 0x00, 0x10, 0x01, 0x01, 0x11, 0x00, 0xff, 0xc4, 0x00, 0x17,
        0x00, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0xa9, 0xff, 0xff, 0xff, 0x00,
        0x00, 0x00, 0x01, 0x11, 0xb0, 0x00, 0x41, 0xff, 0xda, 0x00, 0x08, 0x01, 0x01, 0x00,
        0x01, 0x3f, 0x21, 0x81, 0xcf, 0x4e, 0x5f, 0xa3, 0x99, 0xe4, 0xa9, 0xff, 0xd8, 0xff,
        0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01, 0x00,
        0x01, 0xd1, 0xf3, 0x08, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x44, 0x44,
        0x44, 0x44, 0x00, 0x00, 0xdb, 0x00, 0x43, 0x00, 0x0c, 0x0b, 0x0b, 0x0c, 0x19, 0x12,
        0x13, 0x40, 0x10, 0x00, 0x02, 0x44, 0x01, 0x03, 0x03, 0x02, 0x44, 0x44};
    Eighth eighth;
    const platform::codecs::Status decoded = OurEighth(file, eighth);
    EXPECT_FALSE(decoded.Ok());  // it has no DC scan
}

TEST(JpegDcEighth, RefusesWhatItDoesNotReadWithTheReason) {
    const Bitmap pattern = NoisyPattern(40, 40);
    Eighth eighth;
    const auto refusal = [&](const Bytes& file) {
        const platform::codecs::Status decoded = OurEighth(file, eighth);
        return decoded.Ok() ? std::string() : decoded.Failure().detail;
    };
    EXPECT_EQ(refusal(test_support::CompressJpegColour(pattern)), "not a progressive file");
    // Arithmetic conditioning whose bound L is above its bound U.
    Bytes badConditioning =
        test_support::CompressJpegColour(pattern, {.progressive = true, .arithmetic = true});
    for (std::size_t i = 0; i + 5 < badConditioning.size(); ++i) {
        if (badConditioning[i] == 0xFF && badConditioning[i + 1] == 0xCC)
            badConditioning[i + 5] = 0x12;
    }
    EXPECT_EQ(refusal(badConditioning), "arithmetic DC conditioning with L above U");
    Bytes file = test_support::CompressJpegColour(pattern, {.progressive = true});
    const FileInput input{std::span<const std::uint8_t>(file)};
    const auto firstScan = static_cast<std::size_t>(WalkJpeg(input).scans.front().start);
    Bytes twelveBit = file;
    for (std::size_t i = 0; i + 4 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == 0xC2) twelveBit[i + 4] = 12;
    }
    EXPECT_EQ(refusal(twelveBit), "samples of other than 8 bits");
    // Three codes of one bit in the first DC table: one more than there are.
    Bytes badTable = file;
    for (std::size_t i = 0; i + 5 < file.size(); ++i) {
        if (file[i] != 0xFF || file[i + 1] != 0xC4 || file[i + 4] >= 0x10) continue;
        int moved = 0;
        for (std::size_t length = i + 6; moved < 3; ++length) {
            const int taken = std::min(3 - moved, int{badTable[length]});
            badTable[length] = static_cast<std::uint8_t>(badTable[length] - taken);
            moved += taken;
        }
        badTable[i + 5] = static_cast<std::uint8_t>(badTable[i + 5] + 3);
        break;
    }
    EXPECT_EQ(refusal(badTable), "a Huffman table of DC differences is not valid");
    EXPECT_EQ(refusal(test_support::Slice(file, 0, firstScan + 14)),
              "no scan data after the header");
}

}  // namespace
