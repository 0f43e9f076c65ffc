#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::codecs {

// The numbers of the icon format that the reader and the writer share.

// The largest icon side the format's directory can name, and so the largest we write.
inline constexpr int kMaxIconSide = 256;

// ICONDIR: idReserved (0), idType (1 icon, 2 cursor), idCount; then idCount ICONDIRENTRYs.
inline constexpr std::size_t kIcoDirectoryBytes = 6;
inline constexpr std::size_t kIcoEntryBytes = 16;
inline constexpr std::uint16_t kIcoTypeIcon = 1;
inline constexpr std::uint16_t kIcoTypeCursor = 2;

}  // namespace platform::codecs
