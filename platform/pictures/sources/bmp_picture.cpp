#include "platform/pictures/sources/bmp_picture.h"

#include <algorithm>

#include "platform/pictures/codecs/bmp_codec.h"
#include "platform/pictures/codecs/dib_codec.h"
#include "platform/pictures/codecs/dib_format.h"
#include "platform/pictures/codecs/dib_rle.h"
#include "platform/pictures/sources/decoding_source.h"
#include "platform/pictures/sources/dib_strip_source.h"
#include "platform/pictures/sources/jpeg_picture.h"
#include "platform/pictures/sources/png_picture.h"
#include "platform/pictures/sources/row_scaler.h"

namespace platform {

namespace {

constexpr std::size_t kFileHeaderBytes = codecs::kBmpFileHeaderBytes;
// Files smaller than this are read whole: there is nothing to save.
constexpr std::uint64_t kWholeBelow = 1 << 20;
// The most of a file's start read to choose how the rest is read: the headers, masks and
// palette lie well within it.
constexpr std::size_t kMaxPrefix = 1 << 16;

// Every pixel, as a bitmap file is written from.
Bitmap DecodeWhole(const codecs::FileInput& file) {
    std::vector<std::uint8_t> bytes;
    if (!file.ReadAll(bytes)) return Bitmap();
    auto pixels = codecs::DecodeBmp(bytes);
    return pixels ? std::move(pixels).Value() : Bitmap();
}

// The size of everything after the file header.
std::uint64_t DibSize(const codecs::FileInput& file) {
    return file.Size() - kFileHeaderBytes;
}

// The palette, and where the pixels start after the file header.
codecs::Result<codecs::DibLayout> LayoutOf(const codecs::FileInput& file,
                                           std::span<const std::uint8_t> start,
                                           const codecs::BmpHeaders& headers) {
    return codecs::ReadDibLayout(headers.header, start.subspan(kFileHeaderBytes), DibSize(file),
                                 headers.options);
}

// An uncompressed bitmap, checked as DecodeBmp checks it before its pixels, and then decoded a
// strip at a time.
codecs::Result<Picture> OpenPlainBmp(const codecs::FileInput& file,
                                     std::span<const std::uint8_t> start,
                                     const codecs::BmpHeaders& headers) {
    const codecs::DibHeader& header = headers.header;
    const std::uint64_t dibSize = DibSize(file);
    auto layout = LayoutOf(file, start, headers);
    if (!layout) return layout.Failure();
    const auto rows = codecs::MeasureDibRows(header.width, header.bitCount, header.height);
    if (!rows) return rows.Failure();
    if (rows.Value().needed > dibSize - layout.Value().pixelStart) {
        return codecs::Fail(codecs::CodecError::Truncated, "pixel data cut short");
    }
    DibStrips strips;
    strips.header = header;
    strips.palette = std::move(layout.Value().palette);
    strips.pixelStart = kFileHeaderBytes + layout.Value().pixelStart;
    strips.stride = rows.Value().stride;
    strips.withAlpha = codecs::DibKeepsAlpha(header, headers.options);
    auto source = std::make_shared<DibStripSource>(file, std::move(strips));
    if (codecs::Status opened = source->Open(); !opened) return opened.Failure();
    return Picture(std::move(source));
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
    auto layout = LayoutOf(file, start, headers);
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
    const std::uint64_t dibSize = DibSize(file);
    auto layout = LayoutOf(file, start, headers);
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
    if (file.Size() >= kWholeBelow) return OpenPlainBmp(file, start, headers.Value());
    std::vector<std::uint8_t> bytes;
    if (codecs::Status read = file.ReadAll(bytes); !read) return read.Failure();
    auto pixels = codecs::DecodeBmp(bytes);
    if (!pixels) return pixels.Failure();
    return Picture::FromBitmap(std::move(pixels).Value());
}

}  // namespace platform
