#include "platform/system/registry.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/system/hive_reader.h"
#include "platform/system/hive_text.h"
#include "platform/system/registry_names.h"
#include "platform/system/system_registry.h"
#include "platform/system/utf16.h"

namespace platform {

namespace {

namespace fs = std::filesystem;

// The narrow calls see a C string: anything after an embedded NUL is not part of it.
std::string_view UpToNul(const std::string& text) {
    return std::string_view(text.data(), std::min(text.size(), std::strlen(text.c_str())));
}

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

}  // namespace

Registry::Registry(const fs::path& hiveFile) {
    const std::optional<std::string> text = hive::ReadHiveFile(hiveFile);
    if (!text) {
        m_loadError = "cannot read " + hiveFile.string();
        return;
    }
    HiveReader(*this).Read(*text);
}

Registry Registry::FromText(std::string_view text) {
    Registry registry;
    HiveReader(registry).Read(text);
    return registry;
}

Registry Registry::System() {
    Registry registry;
    registry.m_system = true;
    return registry;
}

const std::string* Registry::KeyPathOf(HKEY handle) const {
    const auto open = m_open.find(handle);
    return open == m_open.end() ? nullptr : &open->second;
}

LONG Registry::RegOpenKeyExA(HKEY root, const std::string& subKey, DWORD options, REGSAM access,
                             HKEY* result) {
    if (m_system) return system_registry::OpenKey(root, subKey, options, access, result);
    if (!result) return ERROR_INVALID_PARAMETER;
    if (options != 0 && options != REG_OPTION_OPEN_LINK) return ERROR_INVALID_PARAMETER;

    std::string path;
    if (const std::optional<std::string> rootPath = hive::FoldedRootPath(root)) {
        path = *rootPath;
    } else if (const std::string* openPath = KeyPathOf(root)) {
        path = *openPath;
    } else {
        return ERROR_INVALID_HANDLE;
    }

    std::string_view relative = UpToNul(subKey);
    if (relative.ends_with('\\')) relative.remove_suffix(1);  // one trailing separator is allowed
    if (!relative.empty()) {
        const std::string folded = hive::Fold(relative);
        const std::optional<std::vector<std::string_view>> names = hive::SplitKeyPath(folded);
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
    if (m_system) return system_registry::QueryValue(key, valueName, reserved, type, data, size);
    std::string path;
    if (const std::optional<std::string> rootPath = hive::FoldedRootPath(key)) {
        path = *rootPath;
    } else if (const std::string* openPath = KeyPathOf(key)) {
        path = *openPath;
    } else {
        return ERROR_INVALID_HANDLE;
    }
    if (reserved || (data && !size)) return ERROR_INVALID_PARAMETER;

    const auto found = m_keys.find(path);
    if (found == m_keys.end()) return ERROR_FILE_NOT_FOUND;
    const auto value = found->second.values.find(hive::Fold(UpToNul(valueName)));
    if (value == found->second.values.end()) return ERROR_FILE_NOT_FOUND;

    if (type) *type = value->second.type;
    std::vector<std::uint8_t> narrow;
    if (IsStringType(value->second.type)) {
        const std::string text = hive::Utf16ToUtf8(value->second.data);
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
    if (m_system) return system_registry::CloseKey(key);
    if (hive::FoldedRootPath(key)) return ERROR_SUCCESS;  // closing a predefined root is allowed
    return m_open.erase(key) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace platform
