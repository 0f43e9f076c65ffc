#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The registry's own integer types, 32 bits wide as on the original platform.
using HKEY = std::uint32_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using REGSAM = std::uint32_t;

// Predefined root keys.
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr HKEY HKEY_USERS = 0x80000003;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005;

// Results of the registry calls.
inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_BAD_PATHNAME = 161;
inline constexpr LONG ERROR_MORE_DATA = 234;

// Value types.
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_QWORD = 11;

// Options of RegOpenKeyExA; REG_OPTION_OPEN_LINK is accepted and means nothing here.
inline constexpr DWORD REG_OPTION_OPEN_LINK = 0x8;

// A read-only registry made from a hive in the registry export text format:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Example]
//   "Name"="text with \\ and \""
//   "Count"=dword:0000001f
//   @="the key's default value"
//   "Raw"=hex(1):41,00,42,00
//
// Key and value names compare without regard to ASCII case. Strings are held as UTF-16 with
// their terminating NUL, as the original platform stores them, and the ...A calls hand them
// out as UTF-8 (this platform's narrow code page). A hex(1) value holds exactly the bytes
// given, so a string stored without its NUL can be written down too.
//
// A hive that breaks the format is refused as a whole: the registry is then empty and
// LoadError() says why. A missing hive file gives an empty registry as well.
class Registry {
  public:
    Registry() = default;
    explicit Registry(const std::filesystem::path& hiveFile);
    static Registry FromText(std::string_view text);
    // The system's own registry, where the platform has one (Windows): the three calls below
    // are then its own. Elsewhere no key is found in it.
    static Registry System();

    // "" when the hive was read, otherwise the reason it was refused (with its line).
    const std::string& LoadError() const { return m_loadError; }

    // Opens subKey below root (a predefined key or an open handle). options must be 0 or
    // REG_OPTION_OPEN_LINK; access is accepted as given since nothing here writes.
    LONG RegOpenKeyExA(HKEY root, const std::string& subKey, DWORD options, REGSAM access,
                       HKEY* result);

    // Platform semantics: reserved must be null; type and size come back; a buffer smaller
    // than the data gives ERROR_MORE_DATA with the size needed; no buffer asks for the size.
    LONG RegQueryValueExA(HKEY key, const std::string& valueName, DWORD* reserved, DWORD* type,
                          char* data, DWORD* size);

    // Closing a handle that is not open changes nothing and answers ERROR_INVALID_HANDLE.
    LONG RegCloseKey(HKEY key);

    // Handles open now, so a caller can be shown to close what it opens.
    std::size_t OpenKeyCount() const { return m_open.size(); }

  private:
    struct Value {
        DWORD type = REG_NONE;
        std::vector<std::uint8_t> data;
    };
    struct Key {
        std::map<std::string, Value> values;  // by case-folded name; "" is the default value
    };

    friend class HiveReader;

    // The key a handle stands for, as a case-folded full path; nullptr for an unknown handle.
    const std::string* KeyPathOf(HKEY handle) const;

    std::map<std::string, Key> m_keys;  // every key, ancestors included, by case-folded path
    std::map<HKEY, std::string> m_open;
    HKEY m_nextHandle = 0x100;
    std::string m_loadError;
    bool m_system = false;
};

}  // namespace platform
