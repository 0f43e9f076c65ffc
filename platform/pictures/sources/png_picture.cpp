#include "platform/pictures/sources/png_picture.h"

#include "platform/pictures/codecs/png_codec.h"
#include "platform/pictures/sources/decoding_source.h"
#include "platform/pictures/sources/row_scaler.h"

namespace platform {

namespace {

class PngSource final : public DecodingSource {
  public:
    PngSource(codecs::FileInput file, const codecs::PngLayout& layout)
        : DecodingSource(layout.width, layout.height), m_file(std::move(file)), m_layout(layout) {}

    // Decodes the region kept on opening. An interlaced file's region costs all its earlier
    // passes, so it keeps all that the window can show.
    codecs::Status DecodeKeptRegion() {
        const Size kept = KeptRegionSize(m_layout.interlaced ? kPassRegionSide : kKeptRegionSide);
        TopLeftSink region(kept.width, kept.height);
        if (codecs::Status decoded = codecs::DecodePngRows(m_file, kept.width, kept.height, region);
            !decoded) {
            return decoded;
        }
        KeepRegion(region.Take(m_layout.hasAlpha));
        return codecs::Done();
    }

    Bitmap Pixels() const override {
        auto pixels = codecs::DecodePng(m_file);
        return pixels ? std::move(pixels).Value() : Bitmap();
    }

  protected:
    bool Opaque() const override { return !m_layout.hasAlpha; }
    bool DecodeTop(int columns, int rows, codecs::RowSink& sink, bool& hasAlpha) const override {
        hasAlpha = m_layout.hasAlpha;
        return codecs::DecodePngRows(m_file, columns, rows, sink).Ok();
    }
    Bitmap DecodeOverview(int width, int height) const override {
        RowScaler scaler(width, height);
        if (!codecs::DecodePngRows(m_file, Width(), Height(), scaler)) return Bitmap();
        return scaler.Finish(m_layout.hasAlpha);
    }

  private:
    codecs::FileInput m_file;
    codecs::PngLayout m_layout;
};

}  // namespace

codecs::Result<std::shared_ptr<const PictureSource>> OpenPngPicture(codecs::FileInput file) {
    auto layout = codecs::ReadPngLayout(file);
    if (!layout) return layout.Failure();
    auto source = std::make_shared<PngSource>(std::move(file), layout.Value());
    if (codecs::Status decoded = source->DecodeKeptRegion(); !decoded) return decoded.Failure();
    return std::shared_ptr<const PictureSource>(std::move(source));
}

}  // namespace platform
