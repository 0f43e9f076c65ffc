#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The registry holds strings as UTF-16LE; hives and the narrow calls use UTF-8.
namespace platform::hive {

void AppendUtf16(std::vector<std::uint8_t>& out, std::uint32_t unit);

// UTF-8 text to UTF-16LE bytes; false when the text is not UTF-8.
bool Utf8ToUtf16(std::string_view text, std::vector<std::uint8_t>& out);

// UTF-16LE bytes to UTF-8, as the narrow calls hand strings out. An unpaired surrogate
// becomes "?", the way a code page shows a character it lacks (clean turns false); an odd
// last byte is dropped.
std::string Utf16ToUtf8(std::span<const std::uint8_t> bytes, bool* clean = nullptr);

}  // namespace platform::hive
