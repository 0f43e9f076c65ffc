#include "platform/system/hive_reader.h"

#include "platform/system/hive_text.h"
#include "platform/system/registry_names.h"
#include "platform/system/utf16.h"

namespace platform {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    return text;
}

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<std::uint32_t> HexDigit(char c) {
    if (c >= '0' && c <= '9') return static_cast<std::uint32_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<std::uint32_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<std::uint32_t>(c - 'A' + 10);
    return std::nullopt;
}

// 1 to 8 hex digits, the whole of text.
std::optional<std::uint32_t> ParseHex32(std::string_view text) {
    if (text.empty() || text.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        const std::optional<std::uint32_t> digit = HexDigit(c);
        if (!digit) return std::nullopt;
        value = (value << 4) | *digit;
    }
    return value;
}

}  // namespace

void HiveReader::Read(std::string_view text) {
    hive::HiveLines decoded = hive::DecodeHiveText(text);
    if (!decoded.error.empty()) return Fail(0, decoded.error);
    m_lines = std::move(decoded.lines);
    if (m_lines.empty() || TrimRight(m_lines[0]) != kHeader) {
        return Fail(1, "the first line is not \"" + std::string(kHeader) + "\"");
    }
    for (m_index = 1; m_index < m_lines.size() && m_registry.m_loadError.empty(); ++m_index) {
        ReadLine(TrimRight(TrimLeft(m_lines[m_index])));
    }
}

void HiveReader::Fail(std::size_t line, const std::string& reason) {
    // A refused hive leaves nothing behind: the registry is empty.
    m_registry.m_keys.clear();
    m_registry.m_loadError = line == 0 ? reason : "line " + std::to_string(line) + ": " + reason;
}

void HiveReader::ReadLine(std::string_view line) {
    if (line.empty() || line.front() == ';') return;
    if (line.front() == '[') return ReadSection(line);
    if (!m_section) return Fail("a value before the first [key] line");
    if (line.front() == '@') return ReadValue("", line.substr(1));
    if (line.front() == '"') {
        std::size_t pos = 1;
        std::string name;
        if (!ReadQuoted(line, pos, name)) return;
        if (name.size() > hive::kMaxValueNameLength) return Fail("the value name is too long");
        return ReadValue(name, line.substr(pos));
    }
    Fail("a line that is neither a [key], a value nor a ; comment");
}

void HiveReader::ReadSection(std::string_view line) {
    if (line.back() != ']') return Fail("a [key] line without its closing ]");
    const std::string_view path = line.substr(1, line.size() - 2);
    // A hive states what is there: the deleting forms [-key] and "name"=- have no place.
    if (path.starts_with('-')) return Fail("a [-key] line deletes; a hive only describes");
    const std::string folded = hive::Fold(path);
    const std::optional<std::vector<std::string_view>> names = hive::SplitKeyPath(folded);
    if (!names) return Fail("a malformed key path");
    if (!hive::RootHandleOf((*names)[0])) return Fail("a key outside the predefined roots");
    // A key's ancestors exist as soon as it does.
    std::string ancestor;
    for (const std::string_view name : *names) {
        if (!ancestor.empty()) ancestor += '\\';
        ancestor += name;
        m_registry.m_keys.try_emplace(ancestor);
    }
    m_section = folded;
}

// A "..." string starting after its opening quote at line[pos]; \\ and \" are the only
// escapes. On success pos is just past the closing quote.
bool HiveReader::ReadQuoted(std::string_view line, std::size_t& pos, std::string& out) {
    for (; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c == '\\') {
            if (pos + 1 >= line.size() || (line[pos + 1] != '\\' && line[pos + 1] != '"')) {
                Fail("an escape other than \\\\ or \\\" in a quoted string");
                return false;
            }
            ++pos;
        }
        out += line[pos];
    }
    Fail("a quoted string without its closing quote");
    return false;
}

void HiveReader::ReadValue(const std::string& name, std::string_view rest) {
    rest = TrimLeft(rest);
    if (!rest.starts_with('=')) return Fail("a value without =");
    rest = TrimLeft(rest.substr(1));

    Registry::Value value;
    if (rest.starts_with('"')) {
        std::size_t pos = 1;
        std::string text;
        if (!ReadQuoted(rest, pos, text)) return;
        if (!TrimLeft(rest.substr(pos)).empty()) return Fail("text after a quoted value");
        value.type = REG_SZ;
        if (!hive::Utf8ToUtf16(text, value.data)) return Fail("a string that is not UTF-8");
        hive::AppendUtf16(value.data, 0);  // stored with its terminating NUL
    } else if (rest.starts_with("dword:")) {
        const std::optional<std::uint32_t> number = ParseHex32(rest.substr(6));
        if (!number) return Fail("a dword that is not 1 to 8 hex digits");
        value.type = REG_DWORD;
        for (int shift = 0; shift < 32; shift += 8) {
            value.data.push_back(static_cast<std::uint8_t>(*number >> shift));
        }
    } else if (rest.starts_with("hex")) {
        if (!ReadHex(rest.substr(3), value)) return;
    } else {
        return Fail("a value that is not \"text\", dword: or hex:");
    }
    m_registry.m_keys[*m_section].values[hive::Fold(name)] = std::move(value);
}

// hex:aa,bb,... (binary) or hex(N):aa,bb,... (type N); a line ending in \ goes on below.
bool HiveReader::ReadHex(std::string_view rest, Registry::Value& value) {
    value.type = REG_BINARY;
    if (rest.starts_with('(')) {
        const std::size_t close = rest.find(')');
        const std::optional<std::uint32_t> type =
            close == std::string_view::npos ? std::nullopt : ParseHex32(rest.substr(1, close - 1));
        if (!type) return Fail("hex( ) without a type of 1 to 8 hex digits"), false;
        value.type = *type;
        rest.remove_prefix(close + 1);
    }
    if (!rest.starts_with(':')) return Fail("hex without :"), false;
    rest.remove_prefix(1);

    while (true) {
        rest = TrimRight(rest);
        const bool goesOn = rest.ends_with('\\');
        if (goesOn) rest.remove_suffix(1);
        if (!ReadHexBytes(rest, value.data, goesOn)) return false;
        if (!goesOn) return true;
        if (++m_index >= m_lines.size()) {
            return Fail(m_index, "a hex value that goes on past the end"), false;
        }
        rest = TrimLeft(m_lines[m_index]);
    }
}

// One line's share of comma-separated two-digit hex bytes. The line before a
// continuation ends in a comma; the last line does not.
bool HiveReader::ReadHexBytes(std::string_view text, std::vector<std::uint8_t>& out, bool goesOn) {
    text = TrimRight(TrimLeft(text));
    if (text.empty()) {
        if (goesOn) return Fail("an empty line inside a hex value"), false;
        return true;
    }
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view digits = TrimRight(TrimLeft(text.substr(0, comma)));
        const std::optional<std::uint32_t> byte =
            digits.size() == 2 ? ParseHex32(digits) : std::nullopt;
        if (!byte) return Fail("a hex byte that is not two hex digits"), false;
        out.push_back(static_cast<std::uint8_t>(*byte));
        if (comma == std::string_view::npos) {
            if (goesOn) return Fail("a continued hex line that does not end in a comma"), false;
            return true;
        }
        text.remove_prefix(comma + 1);
        if (TrimLeft(text).empty() && !goesOn) return Fail("a hex value ending in a comma"), false;
    }
    return true;
}

}  // namespace platform
