#pragma once

#include <cstdint>

namespace platform {

// Handles are plain numbers, as the program keeps them in 32-bit variables; 0 is no object.
// Distinct types keep a context from being passed where a bitmap is meant.
enum class HDC : std::uint32_t {};
enum class HBITMAP : std::uint32_t {};
enum class HICON : std::uint32_t {};

template <typename Handle>
constexpr std::uint32_t HandleValue(Handle h) {
    return static_cast<std::uint32_t>(h);
}
template <typename Handle>
constexpr bool IsNull(Handle h) {
    return HandleValue(h) == 0;
}

}  // namespace platform
