#pragma once

// The boxes Scale averages: target pixel `i` of `count` covers the source pixels
// [ScaleBoxStart, ScaleBoxEnd) of `sourceCount`, at least one. The scalers that average rows
// while a picture is decoded use the same boxes, so their overview is Scale's of the whole.

#include <algorithm>
#include <cstdint>

namespace platform {

inline int ScaleBoxStart(int i, int count, int sourceCount) {
    return static_cast<int>(static_cast<long long>(i) * sourceCount / count);
}

inline int ScaleBoxEnd(int i, int count, int sourceCount) {
    return std::max(ScaleBoxStart(i, count, sourceCount) + 1,
                    static_cast<int>(static_cast<long long>(i + 1) * sourceCount / count));
}

// One channel's average over `n` pixels, rounded to the nearest level.
inline std::uint32_t RoundedMean(std::uint64_t sum, std::uint64_t n) {
    return static_cast<std::uint32_t>((sum + n / 2) / n);
}

}  // namespace platform
