#include "platform/system/registry.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <optional>
#include <span>

namespace platform {

namespace {

namespace fs = std::filesystem;

// A hive is a small text file; anything larger is refused rather than read into memory.
constexpr std::size_t kMaxHiveBytes = 4 * 1024 * 1024;
// The original platform's limits on key names and nesting.
constexpr std::size_t kMaxKeyNameLength = 255;
constexpr std::size_t kMaxKeyDepth = 512;
constexpr std::size_t kMaxValueNameLength = 16383;

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

struct RootKey {
    std::string_view name;
    HKEY handle;
};
constexpr std::array<RootKey, 5> kRootKeys = {{
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKEY_USERS", HKEY_USERS},
    {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
}};

// Names compare without regard to ASCII case; other bytes compare as they are.
std::string Fold(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

// The narrow calls see a C string: anything after an embedded NUL is not part of it.
std::string_view UpToNul(const std::string& text) {
    return std::string_view(text.data(), std::min(text.size(), std::strlen(text.c_str())));
}

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

void AppendUtf16(std::vector<std::uint8_t>& out, std::uint32_t unit) {
    out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    out.push_back(static_cast<std::uint8_t>(unit >> 8));
}

void AppendUtf8(std::string& out, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// Decodes one UTF-8 sequence at text[pos]; nullopt for a malformed one.
std::optional<std::uint32_t> NextCodePoint(std::string_view text, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(pos);
    std::size_t length;
    std::uint32_t codePoint;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        codePoint = lead & 0x07;
    } else {
        return std::nullopt;
    }
    if (text.size() - pos < length) return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) return std::nullopt;
        codePoint = (codePoint << 6) | (byte(pos + i) & 0x3F);
    }
    // Overlong forms, surrogates and values past the last code point are not UTF-8.
    constexpr std::array<std::uint32_t, 5> kSmallest = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < kSmallest[length] || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return std::nullopt;
    }
    pos += length;
    return codePoint;
}

// UTF-8 text to UTF-16LE bytes; false when the text is not UTF-8.
bool Utf8ToUtf16(std::string_view text, std::vector<std::uint8_t>& out) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::optional<std::uint32_t> codePoint = NextCodePoint(text, pos);
        if (!codePoint) return false;
        if (*codePoint >= 0x10000) {
            const std::uint32_t rest = *codePoint - 0x10000;
            AppendUtf16(out, 0xD800 | (rest >> 10));
            AppendUtf16(out, 0xDC00 | (rest & 0x3FF));
        } else {
            AppendUtf16(out, *codePoint);
        }
    }
    return true;
}

// UTF-16LE bytes to UTF-8, as the narrow calls hand strings out. An unpaired surrogate
// becomes "?", the way a code page shows a character it lacks (clean turns false); an odd
// last byte is dropped.
std::string Utf16ToUtf8(std::span<const std::uint8_t> bytes, bool* clean = nullptr) {
    std::string out;
    const std::size_t units = bytes.size() / 2;
    const auto unitAt = [&](std::size_t i) {
        return static_cast<std::uint32_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    };
    for (std::size_t i = 0; i < units; ++i) {
        const std::uint32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units && unitAt(i + 1) >= 0xDC00 &&
            unitAt(i + 1) <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 1) - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            out += '?';
            if (clean) *clean = false;
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
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

std::optional<HKEY> RootHandleOf(std::string_view foldedName) {
    for (const RootKey& root : kRootKeys) {
        if (root.name == foldedName) return root.handle;
    }
    return std::nullopt;
}

std::optional<std::string> FoldedRootPath(HKEY handle) {
    for (const RootKey& root : kRootKeys) {
        if (root.handle == handle) return std::string(root.name);
    }
    return std::nullopt;
}

// Splits a key path on backslashes. Empty names, names longer than the platform allows and
// paths nested too deep are refused.
std::optional<std::vector<std::string_view>> SplitKeyPath(std::string_view path) {
    std::vector<std::string_view> names;
    while (true) {
        const std::size_t slash = path.find('\\');
        const std::string_view name = path.substr(0, slash);
        if (name.empty() || name.size() > kMaxKeyNameLength) return std::nullopt;
        names.push_back(name);
        if (names.size() > kMaxKeyDepth) return std::nullopt;
        if (slash == std::string_view::npos) return names;
        path.remove_prefix(slash + 1);
    }
}

}  // namespace

// Reads the export text into a registry, line by line; the first fault refuses the hive.
class HiveReader {
  public:
    explicit HiveReader(Registry& registry) : m_registry(registry) {}

    void Read(std::string_view text) {
        std::string decoded;
        if (text.size() > kMaxHiveBytes) return Fail(0, "the hive is larger than 4 MiB");
        if (text.size() >= 2 && static_cast<std::uint8_t>(text[0]) == 0xFF &&
            static_cast<std::uint8_t>(text[1]) == 0xFE) {
            // Exports are written in UTF-16LE with a byte order mark.
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data()) + 2;
            const std::size_t count = text.size() - 2;
            if (count % 2 != 0) return Fail(0, "the hive's UTF-16 text has an odd length");
            bool clean = true;
            decoded = Utf16ToUtf8({bytes, count}, &clean);
            if (!clean) return Fail(0, "the hive's UTF-16 text has an unpaired surrogate");
            text = decoded;
        } else if (text.starts_with("\xEF\xBB\xBF")) {
            text.remove_prefix(3);
        }

        SplitLines(text);
        if (m_lines.empty() || TrimRight(m_lines[0]) != kHeader) {
            return Fail(1, "the first line is not \"" + std::string(kHeader) + "\"");
        }
        for (m_index = 1; m_index < m_lines.size() && m_registry.m_loadError.empty(); ++m_index) {
            ReadLine(TrimRight(TrimLeft(m_lines[m_index])));
        }
    }

  private:
    void SplitLines(std::string_view text) {
        while (!text.empty()) {
            const std::size_t end = text.find('\n');
            m_lines.push_back(text.substr(0, end));
            if (end == std::string_view::npos) break;
            text.remove_prefix(end + 1);
        }
    }

    void Fail(std::size_t line, const std::string& reason) {
        // A refused hive leaves nothing behind: the registry is empty.
        m_registry.m_keys.clear();
        m_registry.m_loadError =
            line == 0 ? reason : "line " + std::to_string(line) + ": " + reason;
    }
    void Fail(const std::string& reason) { Fail(m_index + 1, reason); }

    void ReadLine(std::string_view line) {
        if (line.empty() || line.front() == ';') return;
        if (line.front() == '[') return ReadSection(line);
        if (!m_section) return Fail("a value before the first [key] line");
        if (line.front() == '@') return ReadValue("", line.substr(1));
        if (line.front() == '"') {
            std::size_t pos = 1;
            std::string name;
            if (!ReadQuoted(line, pos, name)) return;
            if (name.size() > kMaxValueNameLength) return Fail("the value name is too long");
            return ReadValue(name, line.substr(pos));
        }
        Fail("a line that is neither a [key], a value nor a ; comment");
    }

    void ReadSection(std::string_view line) {
        if (line.back() != ']') return Fail("a [key] line without its closing ]");
        const std::string_view path = line.substr(1, line.size() - 2);
        // A hive states what is there: the deleting forms [-key] and "name"=- have no place.
        if (path.starts_with('-')) return Fail("a [-key] line deletes; a hive only describes");
        const std::string folded = Fold(path);
        const std::optional<std::vector<std::string_view>> names = SplitKeyPath(folded);
        if (!names) return Fail("a malformed key path");
        if (!RootHandleOf((*names)[0])) return Fail("a key outside the predefined roots");
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
    bool ReadQuoted(std::string_view line, std::size_t& pos, std::string& out) {
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

    void ReadValue(const std::string& name, std::string_view rest) {
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
            if (!Utf8ToUtf16(text, value.data)) return Fail("a string that is not UTF-8");
            AppendUtf16(value.data, 0);  // stored with its terminating NUL
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
        m_registry.m_keys[*m_section].values[Fold(name)] = std::move(value);
    }

    // hex:aa,bb,... (binary) or hex(N):aa,bb,... (type N); a line ending in \ goes on below.
    bool ReadHex(std::string_view rest, Registry::Value& value) {
        value.type = REG_BINARY;
        if (rest.starts_with('(')) {
            const std::size_t close = rest.find(')');
            const std::optional<std::uint32_t> type = close == std::string_view::npos
                                                          ? std::nullopt
                                                          : ParseHex32(rest.substr(1, close - 1));
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
    bool ReadHexBytes(std::string_view text, std::vector<std::uint8_t>& out, bool goesOn) {
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
            if (TrimLeft(text).empty() && !goesOn)
                return Fail("a hex value ending in a comma"), false;
        }
        return true;
    }

    Registry& m_registry;
    std::vector<std::string_view> m_lines;
    std::size_t m_index = 0;
    std::optional<std::string> m_section;
};

Registry::Registry(const fs::path& hiveFile) {
    std::ifstream in(hiveFile, std::ios::binary);
    if (!in) {
        m_loadError = "cannot read " + hiveFile.string();
        return;
    }
    // Read in pieces and stop one byte past the limit, so a huge file costs nothing.
    std::string text;
    std::array<char, 64 * 1024> chunk;
    while (text.size() <= kMaxHiveBytes && in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        text.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        m_loadError = "cannot read " + hiveFile.string();
        return;
    }
    HiveReader(*this).Read(text);
}

Registry Registry::FromText(std::string_view text) {
    Registry registry;
    HiveReader(registry).Read(text);
    return registry;
}

const std::string* Registry::KeyPathOf(HKEY handle) const {
    const auto open = m_open.find(handle);
    return open == m_open.end() ? nullptr : &open->second;
}

LONG Registry::RegOpenKeyExA(HKEY root, const std::string& subKey, DWORD options, REGSAM access,
                             HKEY* result) {
    (void)access;
    if (!result) return ERROR_INVALID_PARAMETER;
    if (options != 0 && options != REG_OPTION_OPEN_LINK) return ERROR_INVALID_PARAMETER;

    std::string path;
    if (const std::optional<std::string> rootPath = FoldedRootPath(root)) {
        path = *rootPath;
    } else if (const std::string* openPath = KeyPathOf(root)) {
        path = *openPath;
    } else {
        return ERROR_INVALID_HANDLE;
    }

    std::string_view relative = UpToNul(subKey);
    if (relative.ends_with('\\')) relative.remove_suffix(1);  // one trailing separator is allowed
    if (!relative.empty()) {
        const std::string folded = Fold(relative);
        const std::optional<std::vector<std::string_view>> names = SplitKeyPath(folded);
        if (!names) return ERROR_BAD_PATHNAME;
        path += '\\';
        path += folded;
    }

    const bool isRoot = path.find('\\') == std::string::npos;
    if (!isRoot && m_keys.find(path) == m_keys.end()) return ERROR_FILE_NOT_FOUND;

    *result = m_nextHandle;
    m_nextHandle += 4;  // handles are multiples of four, as the platform's are
    m_open.emplace(*result, std::move(path));
    return ERROR_SUCCESS;
}

LONG Registry::RegQueryValueExA(HKEY key, const std::string& valueName, DWORD* reserved,
                                DWORD* type, char* data, DWORD* size) {
    std::string path;
    if (const std::optional<std::string> rootPath = FoldedRootPath(key)) {
        path = *rootPath;
    } else if (const std::string* openPath = KeyPathOf(key)) {
        path = *openPath;
    } else {
        return ERROR_INVALID_HANDLE;
    }
    if (reserved || (data && !size)) return ERROR_INVALID_PARAMETER;

    const auto found = m_keys.find(path);
    if (found == m_keys.end()) return ERROR_FILE_NOT_FOUND;
    const auto value = found->second.values.find(Fold(UpToNul(valueName)));
    if (value == found->second.values.end()) return ERROR_FILE_NOT_FOUND;

    if (type) *type = value->second.type;
    std::vector<std::uint8_t> narrow;
    if (IsStringType(value->second.type)) {
        const std::string text = Utf16ToUtf8(value->second.data);
        narrow.assign(text.begin(), text.end());
    } else {
        narrow = value->second.data;
    }
    // Every value comes from a hive of at most 4 MiB, so its size fits a DWORD.
    const auto needed = static_cast<DWORD>(narrow.size());
    if (!data) {
        if (size) *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    std::copy(narrow.begin(), narrow.end(), data);
    *size = needed;
    return ERROR_SUCCESS;
}

LONG Registry::RegCloseKey(HKEY key) {
    if (FoldedRootPath(key)) return ERROR_SUCCESS;  // closing a predefined root is allowed
    return m_open.erase(key) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

fs::path MachineHivePath(const fs::path& executable) {
    if (executable.empty()) return {};
    return executable.parent_path().parent_path() / "share" / "zentrova" / "machine.reg";
}

fs::path CurrentExecutable() {
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : executable;
}

}  // namespace platform
