#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace platform::codecs {

// Little-endian reads that never go past the buffer: a read beyond the end yields nothing.
class ByteReader {
  public:
    explicit ByteReader(std::span<const std::uint8_t> data) : m_data(data) {}

    std::size_t Position() const { return m_position; }
    std::size_t Size() const { return m_data.size(); }
    std::size_t Remaining() const { return m_data.size() - m_position; }

    bool Seek(std::size_t position) {
        if (position > m_data.size()) return false;
        m_position = position;
        return true;
    }
    bool Skip(std::size_t count) {
        if (count > Remaining()) return false;
        m_position += count;
        return true;
    }

    std::optional<std::uint8_t> U8() {
        if (Remaining() < 1) return std::nullopt;
        return m_data[m_position++];
    }
    std::optional<std::uint16_t> U16() {
        if (Remaining() < 2) return std::nullopt;
        const auto v =
            static_cast<std::uint16_t>(m_data[m_position] | (m_data[m_position + 1] << 8));
        m_position += 2;
        return v;
    }
    std::optional<std::uint32_t> U32() {
        if (Remaining() < 4) return std::nullopt;
        std::uint32_t v = 0;
        for (std::size_t i = 4; i-- > 0;) v = (v << 8) | m_data[m_position + i];
        m_position += 4;
        return v;
    }
    std::optional<std::int16_t> I16() {
        auto v = U16();
        if (!v) return std::nullopt;
        return static_cast<std::int16_t>(*v);
    }
    std::optional<std::int32_t> I32() {
        auto v = U32();
        if (!v) return std::nullopt;
        return static_cast<std::int32_t>(*v);
    }
    // The next `count` bytes, or nothing when fewer remain.
    std::optional<std::span<const std::uint8_t>> Bytes(std::size_t count) {
        if (count > Remaining()) return std::nullopt;
        auto part = m_data.subspan(m_position, count);
        m_position += count;
        return part;
    }

  private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_position = 0;
};

}  // namespace platform::codecs
