#pragma once

// The Size menu's entries: the side of the source panes in pixels, in menu order. The menu,
// its handler and the converter's --size all read them here.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace zentrova {

inline constexpr std::array<std::int16_t, 5> kSizeMenuSides = {16, 24, 32, 48, 64};

// The entry whose side is `side`, if there is one.
std::optional<int> SizeMenuIndex(int side);

// The entry's caption, "&16x16".
std::string SizeMenuCaption(int index);

}  // namespace zentrova
