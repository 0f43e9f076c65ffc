#pragma once

#include <array>
#include <cstdint>

namespace zentrova {

// sRGB's 8-bit levels as light: what the eye's levels stand for, so that averages of light
// are made where light adds up. A table, made once.
const std::array<float, 256>& LinearOfLevel();

// The 8-bit sRGB level nearest to `light` (0 to 1; outside is clamped): exact for the table's
// own values, so a colour scaled alone comes back as it was.
std::uint8_t LevelOfLinear(float light);

}  // namespace zentrova
