#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

#include "platform/pictures/codecs/codec_result.h"

namespace platform::codecs {
// Failed expectations name the error, not its number.
inline void PrintTo(CodecError error, std::ostream* out) {
    *out << Describe(error);
}
}  // namespace platform::codecs

namespace test_support {

// The decoded value, failing the test (with the codec's reason) when there is none.
template <typename T>
T DecodedValue(platform::codecs::Result<T> result) {
    EXPECT_TRUE(result.Ok()) << (result.Ok() ? "" : result.Failure().detail);
    return result.Ok() ? std::move(result).Value() : T();
}

// The reason a decode was refused, failing the test when it was not (there is then none).
template <typename T>
std::optional<platform::codecs::CodecError> RefusalOf(const platform::codecs::Result<T>& result) {
    EXPECT_FALSE(result.Ok());
    if (result.Ok()) return std::nullopt;
    return result.Failure().error;
}

using Bytes = std::vector<std::uint8_t>;

// Bytes [from, to) of a file: a cut or a part of it.
inline Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t to) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                 bytes.begin() + static_cast<std::ptrdiff_t>(to));
}

// Appends a little-endian value of `bytes` bytes.
inline void Put(Bytes& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline std::uint32_t Get32(const Bytes& in, std::size_t at) {
    return std::uint32_t{in[at]} | std::uint32_t{in[at + 1]} << 8 |
           std::uint32_t{in[at + 2]} << 16 | std::uint32_t{in[at + 3]} << 24;
}

}  // namespace test_support
