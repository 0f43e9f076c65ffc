#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace test_support {

// Colours as 0xBBGGRR, like the program's colours.
using GifColours = std::vector<std::uint32_t>;

struct GifTestFrame {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    std::optional<GifColours> localColours{};
    int transparentIndex = -1;  // written in a Graphic Control Extension when >= 0
    // width * height, top row first; a shorter list is written as it is, for frames that lie
    std::vector<std::uint8_t> indices{};
};

struct GifTestFile {
    int screenWidth = 0;
    int screenHeight = 0;
    std::optional<GifColours> globalColours{};
    std::vector<GifTestFrame> frames{};
};

// A GIF89a file written byte by byte, so a test can make any file, valid or not. Colour tables
// are padded with black to a power of two. The LZW data uses 8-bit literals only, so any
// index 0..255 can be stored whatever the table size.
std::vector<std::uint8_t> WriteGif(const GifTestFile& file);

}  // namespace test_support
