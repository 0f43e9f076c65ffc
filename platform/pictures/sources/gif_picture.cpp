#include "platform/pictures/sources/gif_picture.h"

#include "platform/pictures/codecs/gif_codec.h"
#include "platform/pictures/sources/decoding_source.h"
#include "platform/pictures/sources/row_scaler.h"

namespace platform {

namespace {

class GifSource final : public DecodingSource {
  public:
    GifSource(codecs::FileInput file, const codecs::GifLayout& layout)
        : DecodingSource(layout.width, layout.height), m_file(std::move(file)) {}

    Bitmap Pixels() const override {
        auto pixels = codecs::DecodeGif(m_file);
        return pixels ? std::move(pixels).Value() : Bitmap();
    }

  protected:
    bool Opaque() const override { return false; }
    bool DecodeTop(int, int rows, codecs::RowSink& sink, bool& hasAlpha) const override {
        auto read = codecs::DecodeGifRows(m_file, rows, sink);
        if (!read) return false;
        hasAlpha = read.Value().hasAlpha;
        return true;
    }

    Bitmap DecodeOverview(int width, int height) const override {
        // The overview needs every row; the region comes with them for nothing.
        const Size kept = KeptRegionSize(kPassRegionSide);
        TopLeftSink region(kept.width, kept.height);
        RowScaler scaler(width, height);
        TeeSink both(region, scaler);
        auto read = codecs::DecodeGifRows(m_file, Height(), both);
        if (!read) return Bitmap();
        KeepRegion(region.Take(read.Value().hasAlpha));
        return scaler.Finish(read.Value().hasAlpha);
    }

  private:
    codecs::FileInput m_file;
};

}  // namespace

codecs::Result<std::shared_ptr<const PictureSource>> OpenGifPicture(codecs::FileInput file) {
    auto layout = codecs::ReadGifLayout(file);
    if (!layout) return layout.Failure();
    return std::shared_ptr<const PictureSource>(
        std::make_shared<GifSource>(std::move(file), layout.Value()));
}

}  // namespace platform
