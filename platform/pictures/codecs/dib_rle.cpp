#include "platform/pictures/codecs/dib_rle.h"

#include "platform/pictures/codecs/byte_reader.h"

namespace platform::codecs {

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000;

// Writes pixels left to right from the cursor. The cursor counts rows from the bottom, as the
// data does. A pixel outside the picture means the data is damaged: it is refused rather than
// clipped or wrapped, since a reader cannot know what the writer meant.
class RleCanvas {
  public:
    RleCanvas(Bitmap& bitmap) : m_bitmap(bitmap) {}

    bool RunFits(std::size_t count) const {
        return m_y < m_bitmap.Height() && count <= static_cast<std::size_t>(m_bitmap.Width() - m_x);
    }
    // Callers check RunFits for the whole run first.
    void Put(std::uint32_t colour) {
        m_bitmap.Set(m_x, m_bitmap.Height() - 1 - m_y, colour | kOpaque);
        ++m_x;
        ++m_written;
    }
    void EndOfLine() {
        m_x = 0;
        ++m_y;
    }
    bool Move(int dx, int dy) {
        m_x += dx;
        m_y += dy;
        return m_x <= m_bitmap.Width() && m_y <= m_bitmap.Height();
    }
    bool Complete() const {
        return m_written == static_cast<std::size_t>(m_bitmap.Width()) *
                                static_cast<std::size_t>(m_bitmap.Height());
    }

  private:
    Bitmap& m_bitmap;
    int m_x = 0;
    int m_y = 0;
    std::size_t m_written = 0;
};

class RleExpander {
  public:
    RleExpander(DibCompression compression, std::span<const std::uint8_t> data,
                std::span<const std::uint32_t> palette, Bitmap& bitmap)
        : m_compression(compression), m_reader(data), m_palette(palette), m_canvas(bitmap) {}

    std::optional<CodecFailure> Run() {
        for (;;) {
            // Data that stops between two codes ends the bitmap, as if it had said so.
            if (m_reader.Remaining() < 2) return std::nullopt;
            const std::uint8_t count = *m_reader.U8();
            const std::uint8_t value = *m_reader.U8();
            if (count > 0) {
                if (auto failure = Repeat(count, value)) return failure;
                continue;
            }
            switch (value) {
                case 0:
                    m_canvas.EndOfLine();
                    break;
                case 1:
                    return std::nullopt;
                case 2: {
                    const auto dx = m_reader.U8();
                    const auto dy = m_reader.U8();
                    if (!dx || !dy) return Fail(CodecError::Truncated, "RLE delta cut short");
                    if (!m_canvas.Move(*dx, *dy)) {
                        return Fail(CodecError::Corrupt, "RLE delta leaves the picture");
                    }
                    break;
                }
                default:
                    if (auto failure = Literal(value)) return failure;
                    break;
            }
        }
    }

    std::size_t BytesRead() const { return m_reader.Position(); }
    bool Complete() const { return m_canvas.Complete(); }

  private:
    std::optional<CodecFailure> Lookup(unsigned index, std::uint32_t& colour) const {
        if (index >= m_palette.size()) {
            return Fail(CodecError::Corrupt, "pixel refers past the end of the palette");
        }
        colour = m_palette[index];
        return std::nullopt;
    }

    // A run of `count` pixels of one colour (RLE4: two alternating colours).
    std::optional<CodecFailure> Repeat(std::size_t count, std::uint8_t value) {
        if (!m_canvas.RunFits(count)) return Fail(CodecError::Corrupt, "RLE run leaves its row");
        std::uint32_t colours[2] = {};
        switch (m_compression) {
            case DibCompression::Rle8:
                if (auto failure = Lookup(value, colours[0])) return failure;
                colours[1] = colours[0];
                break;
            case DibCompression::Rle4:
                if (auto failure = Lookup(value >> 4, colours[0])) return failure;
                if (auto failure = Lookup(value & 0x0F, colours[1])) return failure;
                break;
            default: {
                // RLE24: the value byte is blue, green and red follow.
                const auto green = m_reader.U8();
                const auto red = m_reader.U8();
                if (!green || !red) return Fail(CodecError::Truncated, "RLE24 run cut short");
                colours[0] = colours[1] = *red | (*green << 8) | (std::uint32_t{value} << 16);
                break;
            }
        }
        for (std::size_t i = 0; i < count; ++i) m_canvas.Put(colours[i % 2]);
        return std::nullopt;
    }

    // `count` pixels stored as they are, padded to a 16-bit boundary.
    std::optional<CodecFailure> Literal(std::size_t count) {
        if (!m_canvas.RunFits(count)) {
            return Fail(CodecError::Corrupt, "RLE literal run leaves its row");
        }
        const std::size_t bytes = m_compression == DibCompression::Rle8   ? count
                                  : m_compression == DibCompression::Rle4 ? (count + 1) / 2
                                                                          : count * 3;
        const auto stored = m_reader.Bytes(bytes);
        if (!stored) return Fail(CodecError::Truncated, "RLE literal run cut short");
        for (std::size_t i = 0; i < count; ++i) {
            std::uint32_t colour = 0;
            if (m_compression == DibCompression::Rle24) {
                const std::uint8_t* p = stored->data() + 3 * i;
                colour = p[2] | (p[1] << 8) | (std::uint32_t{p[0]} << 16);
            } else {
                const unsigned index = m_compression == DibCompression::Rle8
                                           ? (*stored)[i]
                                           : ((*stored)[i / 2] >> (i % 2 == 0 ? 4 : 0)) & 0x0F;
                if (auto failure = Lookup(index, colour)) return failure;
            }
            m_canvas.Put(colour);
        }
        // The padding byte may be missing at the very end of the data.
        if (bytes % 2 != 0) m_reader.Skip(1);
        return std::nullopt;
    }

    DibCompression m_compression;
    ByteReader m_reader;
    std::span<const std::uint32_t> m_palette;
    RleCanvas m_canvas;
};

}  // namespace

Result<std::size_t> ExpandDibRle(DibCompression compression, std::span<const std::uint8_t> data,
                                 std::span<const std::uint32_t> palette, Bitmap& colour) {
    colour.Fill(0);
    RleExpander expander(compression, data, palette, colour);
    if (auto failure = expander.Run()) return *failure;
    if (expander.Complete()) {
        // Every pixel was set: the picture is opaque after all.
        for (int y = 0; y < colour.Height(); ++y) {
            std::uint32_t* row = colour.Row(y);
            for (int x = 0; x < colour.Width(); ++x) row[x] = ColourOf(row[x]);
        }
        colour.SetHasAlpha(false);
    } else {
        colour.SetHasAlpha(true);
    }
    return expander.BytesRead();
}

}  // namespace platform::codecs
