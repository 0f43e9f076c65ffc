#include "platform/pictures/codecs/dib_rle.h"

#include <algorithm>
#include <vector>

namespace platform::codecs {

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000;

// Writes pixels left to right from the cursor. The cursor counts rows from the bottom, as the
// data does, and only ever moves on: a row is finished once the cursor leaves it. A pixel
// outside the picture means the data is damaged: it is refused rather than clipped or wrapped,
// since a reader cannot know what the writer meant.
class RleCanvas {
  public:
    RleCanvas(int width, int height, const RleRows& rows, RowSink& sink)
        : m_width(width), m_height(height), m_rows(rows), m_sink(sink) {
        if (m_rows.first < m_rows.end) m_row.resize(static_cast<std::size_t>(m_width));
        Enter();
    }

    bool RunFits(std::size_t count) const {
        return m_y < m_height && count <= static_cast<std::size_t>(m_width - m_x);
    }
    // Callers check RunFits for the whole run first. RLE4 runs alternate two colours.
    void Put(std::size_t count, std::uint32_t even, std::uint32_t odd) {
        if (m_drawing) {
            const std::uint32_t alpha = m_rows.complete ? 0 : kOpaque;
            for (std::size_t i = 0; i < count; ++i)
                m_row[static_cast<std::size_t>(m_x) + i] = (i % 2 ? odd : even) | alpha;
            m_dirty = true;
        }
        m_x += static_cast<int>(count);
        m_written += count;
    }
    bool EndOfLine() {
        Leave();
        m_x = 0;
        ++m_y;
        Enter();
        return m_y <= m_height;
    }
    bool Move(int dx, int dy) {
        if (dy != 0) Leave();
        m_x += dx;
        m_y += dy;
        if (dy != 0) Enter();
        return m_x <= m_width && m_y <= m_height;
    }
    void Finish() { Leave(); }
    bool Complete() const {
        return m_written == static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height);
    }

  private:
    // The row from the top that the cursor's row is.
    int TopRow() const { return m_height - 1 - m_y; }
    void Enter() {
        m_drawing = m_y < m_height && TopRow() >= m_rows.first && TopRow() < m_rows.end;
        if (m_drawing) std::fill(m_row.begin(), m_row.end(), 0);
    }
    void Leave() {
        if (m_drawing && m_dirty) m_sink.Row(TopRow(), m_row.data());
        m_dirty = false;
    }

    int m_width;
    int m_height;
    RleRows m_rows;
    RowSink& m_sink;
    std::vector<std::uint32_t> m_row;
    bool m_drawing = false;
    bool m_dirty = false;
    int m_x = 0;
    int m_y = 0;
    std::size_t m_written = 0;
};

class RleExpander {
  public:
    RleExpander(DibCompression compression, const FileInput& data,
                std::span<const std::uint32_t> palette, RleCanvas& canvas)
        : m_compression(compression), m_reader(data), m_palette(palette), m_canvas(canvas) {}

    Status Run() {
        for (;;) {
            m_end = m_reader.Position();
            std::uint8_t count = 0, value = 0;
            // Data that stops between two codes ends the bitmap, as if it had said so.
            if (!m_reader.Next(count) || !m_reader.Next(value)) return Done();
            m_end = m_reader.Position();
            if (count > 0) {
                if (Status repeated = Repeat(count, value); !repeated) return repeated;
                continue;
            }
            switch (value) {
                case 0:
                    if (!m_canvas.EndOfLine()) {
                        return Fail(CodecError::Corrupt, "RLE end of line past the last row");
                    }
                    break;
                case 1:
                    return Done();
                case 2: {
                    std::uint8_t dx = 0, dy = 0;
                    if (!m_reader.Next(dx) || !m_reader.Next(dy)) {
                        return Fail(CodecError::Truncated, "RLE delta cut short");
                    }
                    if (!m_canvas.Move(dx, dy)) {
                        return Fail(CodecError::Corrupt, "RLE delta leaves the picture");
                    }
                    break;
                }
                default:
                    if (Status copied = Literal(value); !copied) return copied;
                    break;
            }
        }
    }

    // Up to the end of the last code: a lone byte after it is not part of the data.
    std::size_t BytesRead() const { return static_cast<std::size_t>(m_end); }

  private:
    Status Lookup(unsigned index, std::uint32_t& colour) const {
        if (index >= m_palette.size()) {
            return Fail(CodecError::Corrupt, "pixel refers past the end of the palette");
        }
        colour = m_palette[index];
        return Done();
    }

    // A run of `count` pixels of one colour (RLE4: two alternating colours).
    Status Repeat(std::size_t count, std::uint8_t value) {
        if (!m_canvas.RunFits(count)) return Fail(CodecError::Corrupt, "RLE run leaves its row");
        std::uint32_t colours[2] = {};
        switch (m_compression) {
            case DibCompression::Rle8:
                if (Status found = Lookup(value, colours[0]); !found) return found;
                colours[1] = colours[0];
                break;
            case DibCompression::Rle4:
                if (Status found = Lookup(value >> 4, colours[0]); !found) return found;
                if (Status found = Lookup(value & 0x0F, colours[1]); !found) return found;
                break;
            default: {
                // RLE24: the value byte is blue, green and red follow.
                std::uint8_t green = 0, red = 0;
                if (!m_reader.Next(green) || !m_reader.Next(red)) {
                    return Fail(CodecError::Truncated, "RLE24 run cut short");
                }
                colours[0] = colours[1] =
                    std::uint32_t{red} | (std::uint32_t{green} << 8) | (std::uint32_t{value} << 16);
                break;
            }
        }
        m_canvas.Put(count, colours[0], colours[1]);
        return Done();
    }

    // `count` pixels stored as they are, padded to a 16-bit boundary.
    Status Literal(std::size_t count) {
        if (!m_canvas.RunFits(count)) {
            return Fail(CodecError::Corrupt, "RLE literal run leaves its row");
        }
        const std::size_t bytes = m_compression == DibCompression::Rle8   ? count
                                  : m_compression == DibCompression::Rle4 ? (count + 1) / 2
                                                                          : count * 3;
        std::uint8_t stored[255 * 3];
        if (m_reader.Read(std::span(stored, bytes)) != bytes) {
            return Fail(CodecError::Truncated, "RLE literal run cut short");
        }
        for (std::size_t i = 0; i < count; ++i) {
            std::uint32_t colour = 0;
            if (m_compression == DibCompression::Rle24) {
                const std::uint8_t* p = stored + 3 * i;
                colour =
                    std::uint32_t{p[2]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[0]} << 16);
            } else {
                const unsigned index = m_compression == DibCompression::Rle8
                                           ? stored[i]
                                           : (stored[i / 2] >> (i % 2 == 0 ? 4 : 0)) & 0x0F;
                if (Status found = Lookup(index, colour); !found) return found;
            }
            m_canvas.Put(1, colour, colour);
        }
        // The padding byte may be missing at the very end of the data.
        std::uint8_t padding = 0;
        if (bytes % 2 != 0) m_reader.Next(padding);
        return Done();
    }

    DibCompression m_compression;
    SequentialReader m_reader;
    std::span<const std::uint32_t> m_palette;
    RleCanvas& m_canvas;
    std::uint64_t m_end = 0;
};

// Rows into a bitmap of the picture's size.
class BitmapRows final : public RowSink {
  public:
    explicit BitmapRows(Bitmap& bitmap) : m_bitmap(bitmap) {}
    void Start(int, int) override {}
    void Row(int y, const std::uint32_t* pixels) override {
        std::copy_n(pixels, m_bitmap.Width(), m_bitmap.Row(y));
    }

  private:
    Bitmap& m_bitmap;
};

}  // namespace

Result<RleSummary> ExpandDibRleRows(DibCompression compression, const FileInput& data,
                                    std::span<const std::uint32_t> palette, int width, int height,
                                    const RleRows& rows, RowSink& sink) {
    RleCanvas canvas(width, height, rows, sink);
    RleExpander expander(compression, data, palette, canvas);
    if (Status expanded = expander.Run(); !expanded) return expanded.Failure();
    canvas.Finish();
    return RleSummary{expander.BytesRead(), canvas.Complete()};
}

Result<std::size_t> ExpandDibRle(DibCompression compression, std::span<const std::uint8_t> data,
                                 std::span<const std::uint32_t> palette, Bitmap& colour) {
    colour.Fill(0);
    BitmapRows sink(colour);
    const FileInput input(data);
    auto summary = ExpandDibRleRows(compression, input, palette, colour.Width(), colour.Height(),
                                    RleRows{0, colour.Height(), false}, sink);
    if (!summary) return summary.Failure();
    if (summary.Value().complete) {
        // Every pixel was set: the picture is opaque after all.
        for (int y = 0; y < colour.Height(); ++y) {
            std::uint32_t* row = colour.Row(y);
            for (int x = 0; x < colour.Width(); ++x) row[x] = ColourOf(row[x]);
        }
    }
    colour.SetHasAlpha(!summary.Value().complete);
    return summary.Value().bytesRead;
}

}  // namespace platform::codecs
