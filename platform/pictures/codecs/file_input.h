#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/pictures/codecs/codec_result.h"

namespace platform {
class ReadOnlyFile;
}

namespace platform::codecs {

// The bytes of a picture file, read where a decoder asks: from a file on disk piece by piece,
// so that a large file is never held whole, or from bytes already in memory. Copies share the
// open file; reading is safe from several threads at once.
class FileInput {
  public:
    // No bytes at all.
    FileInput() = default;
    // Bytes in memory, which must outlive every copy.
    explicit FileInput(std::span<const std::uint8_t> bytes);
    // Takes over an open file; nothing past the size it had when it was opened is read.
    static FileInput FromFile(std::unique_ptr<const ReadOnlyFile> file);

    std::uint64_t Size() const { return m_size; }
    // The whole content when it is in memory, else empty.
    std::span<const std::uint8_t> Memory() const { return m_memory; }

    // Copies the bytes from `offset` on into `into`, as many as there are; returns how many.
    // Fewer than asked only at the end of the file, or when the file can no longer be read.
    std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) const;
    // Everything, for decoders that want the whole file; fails when there is no memory for it
    // or it could not all be read.
    Status ReadAll(std::vector<std::uint8_t>& bytes) const;

    // The `size` bytes from `offset` on (as many as there are) as an input of their own, such
    // as a picture inside another file.
    FileInput Window(std::uint64_t offset, std::uint64_t size) const;

  private:
    std::shared_ptr<const ReadOnlyFile> m_file;
    std::span<const std::uint8_t> m_memory;
    std::uint64_t m_base = 0;  // where this input starts in the open file
    std::uint64_t m_size = 0;
};

// Reads an input front to back through a small buffer, for decoders that take their data in
// order: however large the input, no more than the buffer is held.
class SequentialReader {
  public:
    explicit SequentialReader(const FileInput& input) : m_input(input) {}
    SequentialReader(const SequentialReader&) = delete;
    SequentialReader& operator=(const SequentialReader&) = delete;

    // Bytes taken so far.
    std::uint64_t Position() const { return m_bufferStart + m_next; }
    // Copies the next bytes into `into`, as many as there are; returns how many.
    std::size_t Read(std::span<std::uint8_t> into);
    // The next byte; false at the end of the input.
    bool Next(std::uint8_t& byte) {
        if (m_next == m_filled && !Refill()) return false;
        byte = m_buffer[m_next++];
        return true;
    }

  private:
    bool Refill();

    static constexpr std::size_t kBufferBytes = 64 * 1024;
    const FileInput& m_input;
    std::unique_ptr<std::uint8_t[]> m_buffer = std::make_unique<std::uint8_t[]>(kBufferBytes);
    std::uint64_t m_bufferStart = 0;  // input offset of m_buffer[0]
    std::size_t m_filled = 0;
    std::size_t m_next = 0;
};

}  // namespace platform::codecs
