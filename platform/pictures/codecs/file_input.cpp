#include "platform/pictures/codecs/file_input.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/files/read_only_file.h"

namespace platform::codecs {

FileInput::FileInput(std::span<const std::uint8_t> bytes) : m_memory(bytes), m_size(bytes.size()) {}

FileInput FileInput::FromFile(std::unique_ptr<const ReadOnlyFile> file) {
    FileInput input;
    input.m_size = file->Size();
    input.m_file = std::move(file);
    return input;
}

std::size_t FileInput::ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) const {
    if (offset >= m_size || into.empty()) return 0;
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(into.size(), m_size - offset));
    if (!m_file) {
        std::memcpy(into.data(), m_memory.data() + offset, wanted);
        return wanted;
    }
    // The file keeps no position, so copies of this input may read at the same time.
    return m_file->ReadAt(m_base + offset, into.first(wanted));
}

Status FileInput::ReadAll(std::vector<std::uint8_t>& bytes) const {
    try {
        bytes.resize(static_cast<std::size_t>(m_size));
    } catch (const std::bad_alloc&) {
        return Fail(CodecError::LimitExceeded, "no memory for the file");
    }
    if (ReadAt(0, bytes) != bytes.size()) return Fail(CodecError::Truncated, "unreadable");
    return Done();
}

FileInput FileInput::Window(std::uint64_t offset, std::uint64_t size) const {
    FileInput window = *this;
    offset = std::min(offset, m_size);
    window.m_size = std::min(size, m_size - offset);
    if (m_file) {
        window.m_base = m_base + offset;
    } else {
        window.m_memory = m_memory.subspan(static_cast<std::size_t>(offset),
                                           static_cast<std::size_t>(window.m_size));
    }
    return window;
}

std::size_t SequentialReader::Read(std::span<std::uint8_t> into) {
    std::size_t done = 0;
    while (done < into.size()) {
        if (m_next == m_filled && !Refill()) break;
        const std::size_t part = std::min(into.size() - done, m_filled - m_next);
        std::memcpy(into.data() + done, m_buffer.get() + m_next, part);
        m_next += part;
        done += part;
    }
    return done;
}

bool SequentialReader::Refill() {
    m_bufferStart += m_filled;
    m_next = 0;
    m_filled = m_input.ReadAt(m_bufferStart, std::span(m_buffer.get(), kBufferBytes));
    return m_filled > 0;
}

}  // namespace platform::codecs
