#include "platform/pictures/jpeg_picture.h"

#include <algorithm>

#include "platform/pictures/codecs/jpeg_codec.h"
#include "platform/pictures/decoding_source.h"
#include "platform/pictures/reduced_scaler.h"
#include "platform/pictures/row_scaler.h"

namespace platform {

namespace {

// The overview of a progressive file is kept at an eighth of its size, as DCT scaling gives a
// single-scan file's, but never smaller than this (nor larger than the picture).
constexpr int kLeastOverviewSide = 256;

class JpegSource final : public DecodingSource {
  public:
    JpegSource(codecs::FileInput file, const codecs::JpegLayout& layout)
        : DecodingSource(layout.width, layout.height), m_file(std::move(file)) {}

    // The one pass over a progressive file: the region and an eighth-size overview from the
    // rows at natural size.
    std::optional<codecs::CodecFailure> DecodeWhole();

    Bitmap Pixels() const override {
        auto pixels = codecs::DecodeJpeg(m_file);
        return pixels ? std::move(pixels).Value() : Bitmap();
    }

  protected:
    bool Opaque() const override { return true; }
    bool DecodeTop(int columns, int rows, codecs::RowSink& sink, bool& hasAlpha) const override {
        hasAlpha = false;
        return !codecs::DecodeJpegRows(m_file, columns, rows, sink);
    }
    Bitmap DecodeOverview(int width, int height) const override;

  private:
    codecs::FileInput m_file;
    Bitmap m_eighth;  // the progressive file's kept overview; set once, on opening
};

std::optional<codecs::CodecFailure> JpegSource::DecodeWhole() {
    const auto side = [](int natural) {
        return std::min(natural, std::max((natural + 7) / 8, kLeastOverviewSide));
    };
    const Size kept = KeptRegionSize(kPassRegionSide);
    TopLeftSink region(kept.width, kept.height);
    RowScaler eighth(side(Width()), side(Height()));
    TeeSink both(region, eighth);
    if (auto failure = codecs::DecodeJpegRows(m_file, Width(), Height(), both)) return failure;
    KeepRegion(region.Take(false));
    m_eighth = eighth.Finish(false);
    return std::nullopt;
}

Bitmap JpegSource::DecodeOverview(int width, int height) const {
    if (!m_eighth.IsEmpty()) {
        if (m_eighth.Width() == Width() && m_eighth.Height() == Height()) {
            return Scale(m_eighth, width, height);
        }
        if (width <= m_eighth.Width() && height <= m_eighth.Height()) {
            ReducedScaler scaler(width, height, BoxEdges(Width(), m_eighth.Width()),
                                 BoxEdges(Height(), m_eighth.Height()));
            scaler.Start(m_eighth.Width(), m_eighth.Height());
            for (int y = 0; y < m_eighth.Height(); ++y) scaler.Row(y, m_eighth.Row(y));
            return scaler.Finish(false);
        }
    }
    // The smallest DCT scale that still has a pixel for every pixel asked for, averaged down
    // to the exact size; at natural size, Scale's own averages.
    const int eighths = codecs::JpegReducedEighths(Width(), Height(), width, height);
    if (eighths == 8) {
        RowScaler scaler(width, height);
        if (codecs::DecodeJpegRows(m_file, Width(), Height(), scaler)) return Bitmap();
        return scaler.Finish(false);
    }
    const int reducedWidth = codecs::JpegReducedSide(Width(), eighths);
    const int reducedHeight = codecs::JpegReducedSide(Height(), eighths);
    ReducedScaler scaler(width, height, EighthEdges(Width(), reducedWidth, eighths),
                         EighthEdges(Height(), reducedHeight, eighths));
    if (codecs::DecodeJpegReduced(m_file, eighths, scaler)) return Bitmap();
    return scaler.Finish(false);
}

}  // namespace

codecs::Result<std::shared_ptr<const PictureSource>> OpenJpegPicture(codecs::FileInput file) {
    auto layout = codecs::ReadJpegLayout(file);
    if (!layout) return layout.Failure();
    auto source = std::make_shared<JpegSource>(std::move(file), layout.Value());
    if (layout.Value().multiScan) {
        if (auto failure = source->DecodeWhole()) return std::move(*failure);
    }
    return std::shared_ptr<const PictureSource>(std::move(source));
}

}  // namespace platform
