#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zentrova {

// How the key colour is chosen: the window's rule (the top-left pixel's colour), or a given one.
enum class KeyRule { None, TopLeft, Colour };

// What zentrova-convert makes of a picture when asked for sizes rather than the window's icon.
struct IconSetOptions {
    std::vector<int> sizes;     // the entries' sides, smallest first, each once, 1 to 256
    bool pngEverySize = false;  // else PNG for 256 only
    bool cursor = false;        // a .CUR file with a hot spot
    int xHotspot = 0;           // in the largest entry's pixels
    int yHotspot = 0;
    KeyRule key = KeyRule::None;
    std::uint32_t keyColour = 0;  // 0x00BBGGRR, for KeyRule::Colour
};

// The icon set's options as the command line gives them, before they are checked.
struct IconSetWords {
    bool any = false;  // any of them was given
    std::optional<std::string> sizes;
    std::optional<std::string> hotspot;
    bool png = false;
    bool cursor = false;
    std::optional<std::string> key;  // "" for the window's rule
};

// Whether the command line asks for an icon set: with any of its options, or an output
// named .cur (any letter case).
bool AsksForIconSet(const IconSetWords& words, const std::string& output);
// Sets `settled` to the icon set asked for, or answers why the words are wrong.
std::string SettleIconSet(const IconSetWords& words, const std::string& output,
                          std::optional<IconSetOptions>& settled);

// The named sets of sizes: where each comes from is in the README and the manual page.
struct NamedSizes {
    const char* name;
    std::vector<int> sizes;
};
const std::vector<NamedSizes>& SizeSets();

// "16,24,32" (sizes from 1 to 256, any order, repeats allowed) or a set's name: the sizes
// smallest first, each once. Nothing for anything else.
std::optional<std::vector<int>> ParseSizes(const std::string& text);
// "RRGGBB" or "#RRGGBB" in hexadecimal, as 0x00BBGGRR.
std::optional<std::uint32_t> ParseKeyColour(const std::string& text);
// "X,Y", two whole numbers from 0 to 255.
std::optional<std::pair<int, int>> ParseHotspot(const std::string& text);

}  // namespace zentrova
