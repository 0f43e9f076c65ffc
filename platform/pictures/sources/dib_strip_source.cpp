#include "platform/pictures/sources/dib_strip_source.h"

#include <algorithm>

#include "platform/pictures/codecs/ico_codec.h"
#include "platform/pictures/sources/row_scaler.h"

namespace platform {

namespace {

// The pixels of a strip, stored and decoded, are kept to about this many bytes each.
constexpr std::size_t kStripBytes = 1 << 20;

// Keeps the bitmap's memory when it already has the size: strips follow one another.
void Reuse(Bitmap& bitmap, int width, int height, PixelFormat format) {
    if (bitmap.Width() != width || bitmap.Height() != height || bitmap.Format() != format) {
        bitmap = Bitmap(width, height, format);
    }
}

codecs::CodecFailure Unreadable() {
    return codecs::Fail(codecs::CodecError::Truncated, "unreadable");
}

}  // namespace

DibStripSource::DibStripSource(codecs::FileInput file, DibStrips strips)
    : DecodingSource(strips.header.width, strips.header.height),
      m_file(std::move(file)),
      m_strips(std::move(strips)) {}

int DibStripSource::StripRows() const {
    const std::size_t rowBytes =
        std::max(m_strips.stride, static_cast<std::size_t>(Width()) * sizeof(std::uint32_t));
    return static_cast<int>(std::clamp<std::size_t>(kStripBytes / rowBytes, 1, 1024));
}

codecs::Status DibStripSource::Open() {
    const bool shortPalette =
        m_strips.header.bitCount <= 8 &&
        m_strips.palette.size() < (std::size_t{1} << m_strips.header.bitCount);
    // Only a pass over every pixel tells whether alpha is used, or whether some pixel lies past
    // the palette and so makes the whole file invalid.
    const bool pass = m_strips.withAlpha || shortPalette;
    if (pass) {
        const int step = StripRows();
        Strip strip;
        for (int top = 0; top < Height(); top += step) {
            if (codecs::Status decoded = DecodeStrip(top, std::min(step, Height() - top), strip);
                !decoded) {
                return decoded;
            }
            if (m_strips.withAlpha && !m_usesAlpha) {
                m_usesAlpha = codecs::UsesAlpha(strip.planes.colour);
            }
        }
    }
    if (m_strips.isIcon) {
        codecs::IcoBitmapLayout layout;
        layout.dib = m_strips.header;
        layout.maskStart = static_cast<std::size_t>(m_strips.maskStart);
        const auto hasMask = codecs::HasIcoMask(layout, m_strips.entrySize, m_usesAlpha);
        if (!hasMask) return hasMask.Failure();
        // With alpha used the mask draws nothing.
        m_readMask = hasMask.Value() && !m_usesAlpha;
    }
    if (pass) return codecs::Done();
    // Decoding the region the panes show proves the rows decode, and keeps it.
    return Region(1, 1).IsEmpty() ? codecs::Status(Unreadable()) : codecs::Done();
}

codecs::Status DibStripSource::DecodeStrip(int top, int count, Strip& strip) const {
    const codecs::DibHeader& header = m_strips.header;
    // Stored rows run bottom-up unless the height was negative.
    const int firstStored = header.topDown ? top : header.height - top - count;
    const auto measured = codecs::MeasureDibRows(header.width, header.bitCount, count);
    if (!measured) return measured.Failure();
    std::vector<std::uint8_t>& bytes = strip.bytes;
    bytes.resize(measured.Value().needed);
    const std::uint64_t at =
        m_strips.pixelStart + static_cast<std::uint64_t>(firstStored) * m_strips.stride;
    if (m_file.ReadAt(at, bytes) != bytes.size()) return Unreadable();

    codecs::DibHeader stripHeader = header;
    stripHeader.height = count;
    Bitmap& colour = strip.planes.colour;
    Reuse(colour, Width(), count, PixelFormat::Colour);
    if (codecs::Status decoded = codecs::DecodeDibRows(
            stripHeader, bytes, m_strips.stride, m_strips.palette, m_strips.withAlpha, colour);
        !decoded) {
        return decoded;
    }
    colour.SetHasAlpha(m_usesAlpha);
    if (!m_readMask) return codecs::Done();
    bytes.resize(m_strips.maskStride * static_cast<std::size_t>(count));
    const std::uint64_t maskAt =
        m_strips.maskStart + static_cast<std::uint64_t>(firstStored) * m_strips.maskStride;
    if (m_file.ReadAt(maskAt, bytes) != bytes.size()) return Unreadable();
    Reuse(strip.planes.mask, Width(), count, PixelFormat::Monochrome);
    codecs::DecodeIcoMaskRows(bytes, m_strips.maskStride, header.topDown, strip.planes.mask);
    return codecs::Done();
}

bool DibStripSource::Rows(int rows, codecs::RowSink& sink) const {
    sink.Start(Width(), Height());
    const int step = StripRows();
    Strip strip;
    std::vector<std::uint32_t> line(m_readMask ? static_cast<std::size_t>(Width()) : 0);
    for (int top = 0; top < rows; top += step) {
        const int count = std::min(step, rows - top);
        if (!DecodeStrip(top, count, strip)) return false;
        const IconImage& planes = strip.planes;
        for (int y = 0; y < count; ++y) {
            const std::uint32_t* row = planes.colour.Row(y);
            if (m_readMask) {
                // As IconWithAlpha: opaque where the mask is 0.
                for (int x = 0; x < Width(); ++x) {
                    line[static_cast<std::size_t>(x)] =
                        WithAlpha(row[x], planes.mask.At(x, y) != 0 ? 0 : 255);
                }
                row = line.data();
            }
            sink.Row(top + y, row);
        }
    }
    return true;
}

PictureType DibStripSource::Type() const {
    return m_strips.isIcon ? PictureType::Icon : PictureType::Bitmap;
}

bool DibStripSource::Opaque() const {
    return !m_strips.isIcon && !m_usesAlpha;
}

bool DibStripSource::DecodeTop(int, int rows, codecs::RowSink& sink, bool& hasAlpha) const {
    hasAlpha = m_strips.isIcon || m_usesAlpha;
    return Rows(std::clamp(rows, 0, Height()), sink);
}

Bitmap DibStripSource::DecodeOverview(int width, int height) const {
    RowScaler scaler(width, height);
    if (!Rows(Height(), scaler)) return Bitmap();
    return scaler.Finish(m_strips.isIcon || m_usesAlpha);
}

void DibStripSource::Render(Bitmap& target) const {
    if (!m_readMask) {
        DecodingSource::Render(target);
        return;
    }
    // Where the mask lets the surface through, the colour plane is XORed onto it, which no
    // alpha can say: each strip is drawn as an icon of its own.
    const int rows = std::min(target.Height(), Height());
    const int step = StripRows();
    Strip strip;
    for (int top = 0; top < rows; top += step) {
        if (!DecodeStrip(top, std::min(step, rows - top), strip)) return;
        DrawIcon(strip.planes, target, 0, top);
    }
}

Bitmap DibStripSource::Pixels() const {
    Bitmap pixels(Width(), Height(), PixelFormat::Colour);
    const int step = StripRows();
    Strip strip;
    for (int top = 0; top < Height(); top += step) {
        const int count = std::min(step, Height() - top);
        if (!DecodeStrip(top, count, strip)) return Bitmap();
        for (int y = 0; y < count; ++y) {
            std::copy_n(strip.planes.colour.Row(y), Width(), pixels.Row(top + y));
        }
    }
    pixels.SetHasAlpha(m_usesAlpha);
    return pixels;
}

}  // namespace platform
