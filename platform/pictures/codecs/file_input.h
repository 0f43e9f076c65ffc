#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

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
    // Takes over an open file descriptor; `size` is the file's size when it was opened, and
    // nothing past it is read.
    static FileInput FromDescriptor(int descriptor, std::uint64_t size);

    std::uint64_t Size() const { return m_size; }
    // The whole content when it is in memory, else empty.
    std::span<const std::uint8_t> Memory() const { return m_memory; }

    // Copies the bytes from `offset` on into `into`, as many as there are; returns how many.
    // Fewer than asked only at the end of the file, or when the file can no longer be read.
    std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) const;
    // Everything, for decoders that want the whole file; false when it could not all be read.
    bool ReadAll(std::vector<std::uint8_t>& bytes) const;

  private:
    struct Descriptor;

    std::shared_ptr<const Descriptor> m_file;
    std::span<const std::uint8_t> m_memory;
    std::uint64_t m_size = 0;
};

}  // namespace platform::codecs
