#include "platform/system/registry_names.h"

#include <array>

#include "platform/runtime_text.h"

namespace platform::hive {

namespace {

// The original platform's limits on key names and nesting.
constexpr std::size_t kMaxKeyNameLength = 255;
constexpr std::size_t kMaxKeyDepth = 512;

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

}  // namespace

// Upper case, as the root keys' names are written.
std::string Fold(std::string_view text) {
    return AsciiUpperCase(text);
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

}  // namespace platform::hive
