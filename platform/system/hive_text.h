#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A hive file's text: its bytes, their encoding, and the lines they make.
namespace platform::hive {

// A hive file's bytes, read no further than one byte past the largest hive, so a huge file
// costs nothing; nullopt when the file cannot be read.
std::optional<std::string> ReadHiveFile(const std::filesystem::path& file);

struct HiveLines {
    std::vector<std::string> lines;
    std::string error;  // "" when the text could be decoded, otherwise why not
};

// The lines of a hive's text, which is UTF-8 (with or without a byte order mark) or, as
// exports are written, UTF-16LE after its byte order mark. Lines end in "\n"; a "\r"
// before it stays on the line.
HiveLines DecodeHiveText(std::string_view text);

}  // namespace platform::hive
