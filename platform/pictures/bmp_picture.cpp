#include "platform/pictures/bmp_picture.h"

#include <algorithm>

#include "platform/pictures/codecs/bmp_codec.h"
#include "platform/pictures/codecs/dib_codec.h"
#include "platform/pictures/codecs/dib_format.h"
#include "platform/pictures/codecs/dib_rle.h"
#include "platform/pictures/decoding_source.h"
#include "platform/pictures/jpeg_picture.h"
#include "platform/pictures/png_picture.h"
#include "platform/pictures/row_scaler.h"

namespace platform {

namespace {

constexpr std::size_t kFileHeaderBytes = codecs::kBmpFileHeaderBytes;
// Files smaller than this are read whole: there is nothing to save.
constexpr std::uint64_t kWholeBelow = 1 << 20;
// Headers, masks and palette, which every strip of rows is decoded with; a file whose pixels
// start further in than this is read whole.
constexpr std::size_t kMaxPrefix = 1 << 16;
// Rows decoded at a time for the overview.
constexpr int kStripRows = 64;

struct BmpLayout {
    codecs::DibHeader header;
    std::vector<std::uint8_t> prefix;  // the file up to its pixels
    std::size_t stride = 0;            // bytes per stored row
};

// The layout of a file that can be decoded a strip at a time with exactly the pixels and the
// verdict of DecodeBmp, or nothing.
std::optional<BmpLayout> StripLayout(const codecs::FileInput& file) {
    if (file.Size() < kWholeBelow) return std::nullopt;
    std::uint8_t head[kFileHeaderBytes];
    if (file.ReadAt(0, head) != sizeof head) return std::nullopt;
    const auto offBits = codecs::ReadBmpPixelOffset(head);
    if (!offBits || *offBits <= kFileHeaderBytes || *offBits > kMaxPrefix) return std::nullopt;
    const std::size_t pixelOffset = *offBits;

    BmpLayout layout;
    layout.prefix.resize(pixelOffset);
    if (file.ReadAt(0, layout.prefix) != pixelOffset) return std::nullopt;
    const std::span<const std::uint8_t> dib = std::span(layout.prefix).subspan(kFileHeaderBytes);
    auto header = codecs::ReadDibHeader(dib);
    if (!header) return std::nullopt;
    const codecs::DibHeader& h = header.Value();
    const bool plain = h.compression == codecs::DibCompression::Rgb ||
                       h.compression == codecs::DibCompression::Bitfields;
    // Alpha is kept only if some pixel has it: a question about every pixel.
    if (!plain || h.hasAlphaMask || h.masks[3] != 0) return std::nullopt;
    if (h.bitCount <= 8) {
        // A pixel past a short palette makes the whole file invalid.
        const auto entries = codecs::DibStoredPaletteEntries(h, dib.size(), dib.size());
        if (!entries || entries.Value() < (std::size_t{1} << h.bitCount)) return std::nullopt;
    } else if (h.bitCount != 16 && h.bitCount != 24 && h.bitCount != 32) {
        return std::nullopt;
    }
    const auto rows = codecs::MeasureDibRows(h.width, h.bitCount, h.height);
    // DecodeBmp refuses a file whose pixels are cut short.
    if (!rows || rows.Value().needed > file.Size() - pixelOffset) return std::nullopt;
    layout.header = h;
    layout.stride = rows.Value().stride;
    return layout;
}

// Every pixel, as a bitmap file is written from.
Bitmap DecodeWhole(const codecs::FileInput& file) {
    std::vector<std::uint8_t> bytes;
    if (!file.ReadAll(bytes)) return Bitmap();
    auto pixels = codecs::DecodeBmp(bytes);
    return pixels ? std::move(pixels).Value() : Bitmap();
}

class BmpSource final : public DecodingSource {
  public:
    BmpSource(codecs::FileInput file, BmpLayout layout)
        : DecodingSource(layout.header.width, layout.header.height),
          m_file(std::move(file)),
          m_layout(std::move(layout)) {}

    Bitmap Pixels() const override { return DecodeWhole(m_file); }

  protected:
    bool Opaque() const override { return true; }
    bool DecodeTop(int, int rows, codecs::RowSink& sink, bool& hasAlpha) const override {
        hasAlpha = false;
        sink.Start(Width(), Height());
        return DecodeRows(0, std::clamp(rows, 0, Height()), sink);
    }
    Bitmap DecodeOverview(int width, int height) const override {
        RowScaler scaler(width, height);
        scaler.Start(Width(), Height());
        for (int top = 0; top < Height(); top += kStripRows) {
            if (!DecodeRows(top, std::min(kStripRows, Height() - top), scaler)) return Bitmap();
        }
        return scaler.Finish(false);
    }

  private:
    // Decodes the picture's rows [top, top + count) with DecodeBmp's own row decoding: the
    // file's headers and palette followed by just those stored rows, as a picture that tall.
    bool DecodeRows(int top, int count, codecs::RowSink& sink) const;

    codecs::FileInput m_file;
    BmpLayout m_layout;
};

bool BmpSource::DecodeRows(int top, int count, codecs::RowSink& sink) const {
    if (count <= 0) return true;
    const codecs::DibHeader& header = m_layout.header;
    // Stored rows run bottom-up unless the height was negative.
    const int firstStored = header.topDown ? top : header.height - top - count;
    const std::uint64_t start =
        m_layout.prefix.size() + static_cast<std::uint64_t>(firstStored) * m_layout.stride;
    std::vector<std::uint8_t> dib(m_layout.prefix.begin() + kFileHeaderBytes,
                                  m_layout.prefix.end());
    const std::size_t prefixBytes = dib.size();
    dib.resize(prefixBytes + m_layout.stride * static_cast<std::size_t>(count));
    const std::size_t got = m_file.ReadAt(start, std::span(dib).subspan(prefixBytes));
    dib.resize(prefixBytes + got);  // the file's last row may lack its padding

    codecs::DibHeader strip = header;
    strip.height = count;
    codecs::DibOptions options;
    options.pixelOffset = prefixBytes;
    auto pixels = codecs::DecodeDibPixels(strip, dib, options);
    if (!pixels) return false;
    const Bitmap& rows = pixels.Value().colour;
    for (int y = 0; y < count; ++y) sink.Row(top + y, rows.Row(y));
    return true;
}

// An RLE bitmap: its rows are stored bottom-up and compressed, so any row shown costs a pass
// over all the data, but only the rows shown are drawn and no more than one row is held.
class RleSource final : public DecodingSource {
  public:
    RleSource(codecs::FileInput file, const codecs::DibHeader& header,
              std::vector<std::uint32_t> palette, std::size_t dataOffset)
        : DecodingSource(header.width, header.height),
          m_file(std::move(file)),
          m_data(m_file.Window(dataOffset, m_file.Size())),
          m_compression(header.compression),
          m_palette(std::move(palette)) {}

    // The one pass on opening: it settles what DecodeBmp would say of the file and whether
    // the picture is opaque, and keeps the top-left corner on the way.
    codecs::Status Check();

    Bitmap Pixels() const override { return DecodeWhole(m_file); }

  protected:
    bool Opaque() const override { return m_complete; }
    bool DecodeTop(int, int rows, codecs::RowSink& sink, bool& hasAlpha) const override {
        hasAlpha = !m_complete;
        return Expand(std::clamp(rows, 0, Height()), sink).Ok();
    }
    Bitmap DecodeOverview(int width, int height) const override {
        RowScaler scaler(width, height);
        if (!Expand(Height(), scaler)) return Bitmap();
        return scaler.Finish(!m_complete);
    }

  private:
    codecs::Result<codecs::RleSummary> Expand(int rows, codecs::RowSink& sink) const {
        sink.Start(Width(), Height());
        return codecs::ExpandDibRleRows(m_compression, m_data, m_palette, Width(), Height(),
                                        codecs::RleRows{0, rows, m_complete}, sink);
    }

    codecs::FileInput m_file;
    codecs::FileInput m_data;
    codecs::DibCompression m_compression;
    std::vector<std::uint32_t> m_palette;
    bool m_complete = false;  // set once, on opening
};

codecs::Status RleSource::Check() {
    const Size kept = KeptRegionSize(kPassRegionSide);
    TopLeftSink sink(kept.width, kept.height);
    auto summary = Expand(kept.height, sink);
    if (!summary) return summary.Failure();
    m_complete = summary.Value().complete;
    Bitmap region = sink.Take(!m_complete);
    if (m_complete) {
        // Drawn before the pass knew: a complete picture has no alpha.
        for (int y = 0; y < region.Height(); ++y) {
            std::uint32_t* row = region.Row(y);
            for (int x = 0; x < region.Width(); ++x) row[x] = ColourOf(row[x]);
        }
    }
    KeepRegion(std::move(region));
    return codecs::Done();
}

codecs::Result<Picture> OpenRleBmp(const codecs::FileInput& file,
                                   std::span<const std::uint8_t> start,
                                   const codecs::BmpHeaders& headers) {
    const std::uint64_t dibSize = file.Size() - kFileHeaderBytes;
    auto layout = codecs::ReadDibLayout(headers.header, start.subspan(kFileHeaderBytes), dibSize,
                                        headers.options);
    if (!layout) return layout.Failure();
    auto source =
        std::make_shared<RleSource>(file, headers.header, std::move(layout.Value().palette),
                                    kFileHeaderBytes + layout.Value().pixelStart);
    if (codecs::Status checked = source->Check(); !checked) return checked.Failure();
    return Picture(std::move(source));
}

// A bitmap that wraps a PNG or JPEG file is that picture, read where it lies as a file of its
// own would be; its size is checked against the header before any pixel is decoded.
codecs::Result<Picture> OpenWrappedPicture(const codecs::FileInput& file,
                                           std::span<const std::uint8_t> start,
                                           const codecs::BmpHeaders& headers) {
    const codecs::DibHeader& header = headers.header;
    const std::uint64_t dibSize = file.Size() - kFileHeaderBytes;
    auto layout =
        codecs::ReadDibLayout(header, start.subspan(kFileHeaderBytes), dibSize, headers.options);
    if (!layout) return layout.Failure();
    auto place = codecs::FindDibEmbedded(header, layout.Value().pixelStart, dibSize);
    if (!place) return place.Failure();
    const codecs::FileInput wrapped =
        file.Window(kFileHeaderBytes + place.Value().offset, place.Value().size);
    if (codecs::Status checked = codecs::CheckDibEmbedded(header, wrapped); !checked)
        return checked.Failure();
    auto source = header.compression == codecs::DibCompression::Png ? OpenPngPicture(wrapped)
                                                                    : OpenJpegPicture(wrapped);
    if (!source) return source.Failure();
    return Picture(std::move(source).Value());
}

}  // namespace

codecs::Result<Picture> OpenBmpPicture(const codecs::FileInput& file) {
    // The headers and the palette: enough to choose how the rest is read.
    std::vector<std::uint8_t> start(std::min<std::uint64_t>(file.Size(), kMaxPrefix));
    if (file.ReadAt(0, start) != start.size()) {
        return codecs::Fail(codecs::CodecError::Truncated, "unreadable");
    }
    auto headers = codecs::ReadBmpHeaders(start);
    if (!headers) return headers.Failure();
    switch (headers.Value().header.compression) {
        case codecs::DibCompression::Rle4:
        case codecs::DibCompression::Rle8:
        case codecs::DibCompression::Rle24:
            return OpenRleBmp(file, start, headers.Value());
        case codecs::DibCompression::Jpeg:
        case codecs::DibCompression::Png:
            return OpenWrappedPicture(file, start, headers.Value());
        default:
            break;
    }
    if (auto layout = StripLayout(file)) {
        auto source = std::make_shared<BmpSource>(file, std::move(*layout));
        // Decoding the region now proves the rows decode, as DecodeBmp would find.
        if (!source->Region(1, 1).IsEmpty()) return Picture(std::move(source));
    }
    std::vector<std::uint8_t> bytes;
    if (!file.ReadAll(bytes)) return codecs::Fail(codecs::CodecError::Truncated, "unreadable");
    auto pixels = codecs::DecodeBmp(bytes);
    if (!pixels) return pixels.Failure();
    return Picture::FromBitmap(std::move(pixels).Value());
}

}  // namespace platform
