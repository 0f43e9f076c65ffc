#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system/registry.h"

// Key and value names as both the hive reader and the registry calls see them.
namespace platform::hive {

// The original platform's longest value name.
inline constexpr std::size_t kMaxValueNameLength = 16383;

// Names compare without regard to ASCII case; other bytes compare as they are.
std::string Fold(std::string_view text);

// The predefined root key of a case-folded name, and the case-folded name of a root key.
std::optional<HKEY> RootHandleOf(std::string_view foldedName);
std::optional<std::string> FoldedRootPath(HKEY handle);

// Splits a key path on backslashes. Empty names, names longer than the platform allows and
// paths nested too deep are refused.
std::optional<std::vector<std::string_view>> SplitKeyPath(std::string_view path);

}  // namespace platform::hive
