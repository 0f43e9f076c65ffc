#include "icon_set/icon_set_options.h"

#include <algorithm>
#include <cctype>

namespace zentrova {

namespace {

constexpr int kLargestSide = 256;

// A whole number from 0 to `most`, digits only: no sign, no space, never overflowing.
std::optional<int> ParseNumber(const std::string& text, int most) {
    if (text.empty() || text.size() > 3) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > most) return std::nullopt;
    return value;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (const char c : text) {
        if (c == separator) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

bool EndsInCur(const std::string& name) {
    if (name.size() < 4) return false;
    std::string end = name.substr(name.size() - 4);
    std::ranges::transform(end, end.begin(), [](unsigned char c) { return std::tolower(c); });
    return end == ".cur";
}

}  // namespace

bool AsksForIconSet(const IconSetWords& words, const std::string& output) {
    return words.any || EndsInCur(output);
}

std::string SettleIconSet(const IconSetWords& words, const std::string& output,
                          std::optional<IconSetOptions>& settled) {
    IconSetOptions options;
    options.cursor = words.cursor || EndsInCur(output);
    options.pngEverySize = words.png;
    const std::optional<std::vector<int>> sizes =
        ParseSizes(words.sizes.value_or(options.cursor ? "cursor" : "windows"));
    if (!sizes) {
        return "--sizes takes sizes from 1 to 256 separated by commas, or windows, favicon or "
               "cursor, not '" +
               *words.sizes + "'";
    }
    options.sizes = *sizes;
    if (words.key) {
        options.key = words.key->empty() ? KeyRule::TopLeft : KeyRule::Colour;
        if (!words.key->empty()) {
            const std::optional<std::uint32_t> colour = ParseKeyColour(*words.key);
            if (!colour) {
                return "--key takes a colour as RRGGBB in hexadecimal, not '" + *words.key + "'";
            }
            options.keyColour = *colour;
        }
    }
    if (words.hotspot) {
        if (!options.cursor)
            return "--hotspot is for cursors: add --cursor or name the output .cur";
        const std::optional<std::pair<int, int>> spot = ParseHotspot(*words.hotspot);
        const int largest = options.sizes.back();
        if (!spot || spot->first >= largest || spot->second >= largest) {
            return "--hotspot takes X,Y inside the largest entry (0 to " +
                   std::to_string(largest - 1) + " each way), not '" + *words.hotspot + "'";
        }
        options.xHotspot = spot->first;
        options.yHotspot = spot->second;
    }
    settled = options;
    return {};
}

const std::vector<NamedSizes>& SizeSets() {
    static const std::vector<NamedSizes> sets = {
        {"windows", {16, 24, 32, 48, 64, 256}},
        {"favicon", {16, 32, 48}},
        {"cursor", {32, 48, 64}},
    };
    return sets;
}

std::optional<std::vector<int>> ParseSizes(const std::string& text) {
    for (const NamedSizes& set : SizeSets()) {
        if (text == set.name) return set.sizes;
    }
    std::vector<int> sizes;
    for (const std::string& part : Split(text, ',')) {
        const std::optional<int> size = ParseNumber(part, kLargestSide);
        if (!size || *size < 1) return std::nullopt;
        sizes.push_back(*size);
    }
    std::ranges::sort(sizes);
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    return sizes;
}

std::optional<std::uint32_t> ParseKeyColour(const std::string& text) {
    const std::string digits = text.starts_with('#') ? text.substr(1) : text;
    if (digits.size() != 6) return std::nullopt;
    std::uint32_t rgb = 0;
    for (const char c : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        const int lower = std::tolower(static_cast<unsigned char>(c));
        rgb = rgb << 4 |
              static_cast<std::uint32_t>(std::isdigit(lower) ? lower - '0' : lower - 'a' + 10);
    }
    // Written RRGGBB; kept as the pixels are, 0x00BBGGRR.
    return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

std::optional<std::pair<int, int>> ParseHotspot(const std::string& text) {
    const std::vector<std::string> parts = Split(text, ',');
    if (parts.size() != 2) return std::nullopt;
    const std::optional<int> x = ParseNumber(parts[0], kLargestSide - 1);
    const std::optional<int> y = ParseNumber(parts[1], kLargestSide - 1);
    if (!x || !y) return std::nullopt;
    return std::pair{*x, *y};
}

}  // namespace zentrova
