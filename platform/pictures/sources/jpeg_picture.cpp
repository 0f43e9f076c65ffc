#include "platform/pictures/sources/jpeg_picture.h"

#include <algorithm>

#include "platform/pictures/codecs/jpeg_codec.h"
#include "platform/pictures/sources/decoding_source.h"
#include "platform/pictures/sources/reduced_scaler.h"
#include "platform/pictures/sources/row_scaler.h"

namespace platform {

namespace {

class JpegSource final : public DecodingSource {
  public:
    JpegSource(codecs::FileInput file, const codecs::JpegLayout& layout)
        : DecodingSource(layout.width, layout.height),
          m_file(std::move(file)),
          m_structure(layout.structure) {}

    // What the panes show, decoded on opening: for a multi-scan file this is what settles
    // whether a whole decode would accept it.
    codecs::Status DecodeShownRegion();

    Bitmap Pixels() const override {
        auto pixels = codecs::DecodeJpeg(m_file);
        return pixels ? std::move(pixels).Value() : Bitmap();
    }

  protected:
    bool Opaque() const override { return true; }
    bool DecodeTop(int columns, int rows, codecs::RowSink& sink, bool& hasAlpha) const override {
        hasAlpha = false;
        return codecs::DecodeJpegRows(m_file, m_structure, columns, rows, sink).Ok();
    }
    Bitmap DecodeOverview(int width, int height) const override;
    bool DecodeAllRows(int minWidth, int minHeight, codecs::RowSink& sink) const override;

  private:
    codecs::FileInput m_file;
    codecs::JpegStructure m_structure;
};

codecs::Status JpegSource::DecodeShownRegion() {
    const Size kept = KeptRegionSize(kKeptRegionSide);
    TopLeftSink region(kept.width, kept.height);
    if (codecs::Status decoded =
            codecs::DecodeJpegRows(m_file, m_structure, kept.width, kept.height, region);
        !decoded)
        return decoded;
    KeepRegion(region.Take(false));
    return codecs::Done();
}

Bitmap JpegSource::DecodeOverview(int width, int height) const {
    // The smallest DCT scale that still has a pixel for every pixel asked for, averaged down
    // to the exact size; at natural size, Scale's own averages.
    const int eighths = codecs::JpegReducedEighths(Width(), Height(), width, height);
    if (eighths == 8) {
        RowScaler scaler(width, height);
        if (!codecs::DecodeJpegRows(m_file, m_structure, Width(), Height(), scaler))
            return Bitmap();
        return scaler.Finish(false);
    }
    const int reducedWidth = codecs::JpegReducedSide(Width(), eighths);
    const int reducedHeight = codecs::JpegReducedSide(Height(), eighths);
    ReducedScaler scaler(width, height, EighthEdges(Width(), reducedWidth, eighths),
                         EighthEdges(Height(), reducedHeight, eighths));
    if (!codecs::DecodeJpegReduced(m_file, m_structure, eighths, scaler)) return Bitmap();
    return scaler.Finish(false);
}

bool JpegSource::DecodeAllRows(int minWidth, int minHeight, codecs::RowSink& sink) const {
    // The smallest DCT scale that keeps the size asked for: each eighth less is a quarter
    // fewer pixels to decode, and a progressive file's eighth comes from its DC scans alone.
    for (int eighths = 1; eighths < 8; ++eighths) {
        if (codecs::JpegReducedSide(Width(), eighths) >= minWidth &&
            codecs::JpegReducedSide(Height(), eighths) >= minHeight) {
            return codecs::DecodeJpegReduced(m_file, m_structure, eighths, sink).Ok();
        }
    }
    return codecs::DecodeJpegRows(m_file, m_structure, Width(), Height(), sink).Ok();
}

}  // namespace

codecs::Result<std::shared_ptr<const PictureSource>> OpenJpegPicture(codecs::FileInput file) {
    auto layout = codecs::ReadJpegLayout(file);
    if (!layout) return layout.Failure();
    auto source = std::make_shared<JpegSource>(std::move(file), layout.Value());
    if (layout.Value().multiScan) {
        if (codecs::Status decoded = source->DecodeShownRegion(); !decoded)
            return decoded.Failure();
    }
    return std::shared_ptr<const PictureSource>(std::move(source));
}

}  // namespace platform
