#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/pictures/codecs/codec_result.h"

namespace platform::codecs {

// The largest picture we decode: room for a 100-megapixel photograph (11648 x 8736) with
// margin. A file claiming more is refused before any pixel memory is taken.
inline constexpr std::uint64_t kMaxPicturePixels = 128ull * 1024 * 1024;
inline constexpr int kMaxPictureSide = 65535;
// Files larger than this are not read into memory at all.
inline constexpr std::uint64_t kMaxFileBytes = 1ull << 30;

inline std::optional<std::size_t> CheckedMul(std::size_t a, std::size_t b) {
    std::size_t r;
    if (__builtin_mul_overflow(a, b, &r)) return std::nullopt;
    return r;
}

inline std::optional<std::size_t> CheckedAdd(std::size_t a, std::size_t b) {
    std::size_t r;
    if (__builtin_add_overflow(a, b, &r)) return std::nullopt;
    return r;
}

// Checks a width and height from a file against the format-independent picture limit.
inline Status CheckDimensions(std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0)
        return Fail(CodecError::BadDimensions, "width or height not positive");
    if (width > kMaxPictureSide || height > kMaxPictureSide ||
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) >
            kMaxPicturePixels) {
        return Fail(CodecError::LimitExceeded, "more pixels than the picture limit");
    }
    return Done();
}

}  // namespace platform::codecs
