#include "platform/system/hive_text.h"

#include <array>
#include <cstdint>
#include <fstream>

#include "platform/system/utf16.h"

namespace platform::hive {

namespace {

// A hive is a small text file; anything larger is refused rather than read into memory.
constexpr std::size_t kMaxHiveBytes = 4 * 1024 * 1024;

HiveLines Refused(std::string reason) {
    return HiveLines{{}, std::move(reason)};
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

}  // namespace

std::optional<std::string> ReadHiveFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text;
    std::array<char, 64 * 1024> chunk;
    while (text.size() <= kMaxHiveBytes && in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        text.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) return std::nullopt;
    return text;
}

HiveLines DecodeHiveText(std::string_view text) {
    std::string decoded;
    if (text.size() > kMaxHiveBytes) return Refused("the hive is larger than 4 MiB");
    if (text.size() >= 2 && static_cast<std::uint8_t>(text[0]) == 0xFF &&
        static_cast<std::uint8_t>(text[1]) == 0xFE) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data()) + 2;
        const std::size_t count = text.size() - 2;
        if (count % 2 != 0) return Refused("the hive's UTF-16 text has an odd length");
        bool clean = true;
        decoded = Utf16ToUtf8({bytes, count}, &clean);
        if (!clean) return Refused("the hive's UTF-16 text has an unpaired surrogate");
        text = decoded;
    } else if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    return HiveLines{SplitLines(text), {}};
}

}  // namespace platform::hive
