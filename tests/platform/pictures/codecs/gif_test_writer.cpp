#include "tests/platform/pictures/codecs/gif_test_writer.h"

#include <algorithm>
#include <cstddef>

namespace test_support {

namespace {

void Put16(std::vector<std::uint8_t>& out, int value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// The size field of a table (2^(field+1) entries) and the table, padded to that size.
int PutColourTable(std::vector<std::uint8_t>& out, const GifColours& colours) {
    int field = 0;
    while ((2u << field) < colours.size() && field < 7) ++field;
    for (unsigned i = 0; i < (2u << field); ++i) {
        const std::uint32_t c = i < colours.size() ? colours[i] : 0;
        out.insert(out.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                               static_cast<std::uint8_t>(c >> 16)});
    }
    return field;
}

// LZW with a minimum code size of 8: 9-bit codes, each a literal index, and a clear code
// often enough that the decoder's table never grows to 10-bit codes.
std::vector<std::uint8_t> LiteralLzw(const std::vector<std::uint8_t>& indices) {
    constexpr unsigned kClear = 256, kEnd = 257;
    std::vector<std::uint8_t> bytes;
    std::uint32_t bits = 0;
    int count = 0;
    auto put = [&](unsigned code) {
        bits |= code << count;
        count += 9;
        while (count >= 8) {
            bytes.push_back(static_cast<std::uint8_t>(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % 200 == 0) put(kClear);
        put(indices[i]);
    }
    put(kEnd);
    if (count > 0) bytes.push_back(static_cast<std::uint8_t>(bits & 0xFF));
    return bytes;
}

}  // namespace

std::vector<std::uint8_t> WriteGif(const GifTestFile& file) {
    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    Put16(out, file.screenWidth);
    Put16(out, file.screenHeight);
    const std::size_t flags = out.size();
    out.insert(out.end(), {0, 0, 0});  // flags, background index, aspect
    if (file.globalColours)
        out[flags] = static_cast<std::uint8_t>(0x80 | PutColourTable(out, *file.globalColours));

    for (const GifTestFrame& frame : file.frames) {
        if (frame.transparentIndex >= 0) {
            out.insert(out.end(), {0x21, 0xF9, 4, 0x01, 0, 0,
                                   static_cast<std::uint8_t>(frame.transparentIndex), 0});
        }
        out.push_back(0x2C);
        Put16(out, frame.left);
        Put16(out, frame.top);
        Put16(out, frame.width);
        Put16(out, frame.height);
        const std::size_t frameFlags = out.size();
        out.push_back(frame.interlaced ? 0x40 : 0);
        if (frame.localColours)
            out[frameFlags] |=
                static_cast<std::uint8_t>(0x80 | PutColourTable(out, *frame.localColours));

        // An interlaced frame stores rows by pass: every 8th from 0, 8th from 4, 4th from 2, 2nd
        // from 1.
        std::vector<std::uint8_t> stored;
        const bool whole = frame.indices.size() == static_cast<std::size_t>(frame.width) *
                                                       static_cast<std::size_t>(frame.height);
        if (!whole) stored = frame.indices;
        const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
        for (int pass = 0; whole && pass < (frame.interlaced ? 4 : 1); ++pass) {
            const int start = frame.interlaced ? starts[pass] : 0,
                      step = frame.interlaced ? steps[pass] : 1;
            for (int y = start; y < frame.height; y += step) {
                const auto row =
                    frame.indices.begin() + static_cast<std::ptrdiff_t>(y) * frame.width;
                stored.insert(stored.end(), row, row + frame.width);
            }
        }
        out.push_back(8);
        const std::vector<std::uint8_t> data = LiteralLzw(stored);
        for (std::size_t at = 0; at < data.size(); at += 255) {
            const std::size_t n = std::min<std::size_t>(255, data.size() - at);
            out.push_back(static_cast<std::uint8_t>(n));
            const auto from = data.begin() + static_cast<std::ptrdiff_t>(at);
            out.insert(out.end(), from, from + static_cast<std::ptrdiff_t>(n));
        }
        out.push_back(0);
    }
    out.push_back(0x3B);
    return out;
}

}  // namespace test_support
