#include "icon_set/srgb.h"

#include <algorithm>
#include <cmath>

namespace zentrova {

namespace {

double ToLinear(double level) {
    return level <= 0.04045 ? level / 12.92 : std::pow((level + 0.055) / 1.055, 2.4);
}

double ToLevel(double light) {
    return light <= 0.0031308 ? light * 12.92 : 1.055 * std::pow(light, 1 / 2.4) - 0.055;
}

std::array<float, 256> MakeTable() {
    std::array<float, 256> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = static_cast<float>(ToLinear(static_cast<double>(i) / 255.0));
    }
    return table;
}

}  // namespace

const std::array<float, 256>& LinearOfLevel() {
    static const std::array<float, 256> table = MakeTable();
    return table;
}

std::uint8_t LevelOfLinear(float light) {
    const double level = ToLevel(std::clamp(static_cast<double>(light), 0.0, 1.0)) * 255.0;
    return static_cast<std::uint8_t>(std::clamp(std::lround(level), 0L, 255L));
}

}  // namespace zentrova
