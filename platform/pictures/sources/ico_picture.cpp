#include "platform/pictures/sources/ico_picture.h"

#include <algorithm>
#include <vector>

#include "platform/pictures/codecs/ico_codec.h"
#include "platform/pictures/sources/dib_strip_source.h"
#include "platform/pictures/sources/png_picture.h"

namespace platform {

namespace {

// The icon that a large PNG entry holds. An icon's planes draw a PNG by its alpha, and one
// without alpha opaque everywhere: so are it and what it hands out.
class PngIconSource final : public PictureSource {
  public:
    explicit PngIconSource(std::shared_ptr<const PictureSource> png) : m_png(std::move(png)) {}

    PictureType Type() const override { return PictureType::Icon; }
    int Width() const override { return m_png->Width(); }
    int Height() const override { return m_png->Height(); }
    void Render(Bitmap& target) const override { m_png->Render(target); }
    Bitmap Region(int width, int height) const override {
        return WithIconAlpha(m_png->Region(width, height));
    }
    Bitmap Overview(int width, int height) const override {
        return WithIconAlpha(m_png->Overview(width, height));
    }
    Bitmap Pixels() const override { return m_png->Pixels(); }
    bool Stream(int minWidth, int minHeight, codecs::RowSink& sink) const override {
        return m_png->Stream(minWidth, minHeight, sink);
    }
    bool DecodesOnDemand() const override { return m_png->DecodesOnDemand(); }

  private:
    static Bitmap WithIconAlpha(Bitmap bitmap) {
        if (bitmap.HasAlpha()) return bitmap;
        for (int y = 0; y < bitmap.Height(); ++y) {
            std::uint32_t* row = bitmap.Row(y);
            for (int x = 0; x < bitmap.Width(); ++x) row[x] = WithAlpha(row[x], 255);
        }
        bitmap.SetHasAlpha(true);
        return bitmap;
    }

    std::shared_ptr<const PictureSource> m_png;
};

// The most of a bitmap entry's start read for its headers and palette.
constexpr std::size_t kEntryHeadBytes = 1 << 16;

// A bitmap entry too large for an icon file, read where it lies a strip at a time.
codecs::Result<Picture> OpenLargeBitmapEntry(const codecs::FileInput& entry) {
    std::vector<std::uint8_t> head(std::min<std::uint64_t>(entry.Size(), kEntryHeadBytes));
    if (entry.ReadAt(0, head) != head.size()) {
        return codecs::Fail(codecs::CodecError::Truncated, "unreadable");
    }
    auto layout = codecs::ReadIcoBitmapLayout(head, entry.Size());
    if (!layout) return layout.Failure();
    codecs::IcoBitmapLayout& parts = layout.Value();
    DibStrips strips;
    strips.header = parts.dib;
    strips.palette = std::move(parts.colour.palette);
    strips.pixelStart = parts.colour.pixelStart;
    strips.stride = parts.stride;
    strips.withAlpha = parts.withAlpha;
    strips.isIcon = true;
    strips.maskStart = parts.maskStart;
    strips.maskStride = parts.maskStride;
    strips.entrySize = entry.Size();
    auto source = std::make_shared<DibStripSource>(entry, std::move(strips));
    if (codecs::Status opened = source->Open(); !opened) return opened.Failure();
    return Picture(std::move(source));
}

}  // namespace

codecs::Result<Picture> OpenIcoPicture(const codecs::FileInput& file, int preferredSize) {
    auto chosen = codecs::ChooseIcoEntry(file, preferredSize);
    if (!chosen) return chosen.Failure();
    const codecs::IcoEntryPlace& place = chosen.Value();
    const codecs::FileInput entry = file.Window(place.offset, place.size);
    if (place.width > codecs::kMaxIconSide || place.height > codecs::kMaxIconSide) {
        if (!place.isPng) return OpenLargeBitmapEntry(entry);
        auto png = OpenPngPicture(entry);
        if (!png) return png.Failure();
        return Picture(std::make_shared<PngIconSource>(std::move(png).Value()));
    }
    std::vector<std::uint8_t> bytes;
    if (codecs::Status read = entry.ReadAll(bytes); !read) return read.Failure();
    auto icon = codecs::DecodeIcoEntry(place, bytes);
    if (!icon) return icon.Failure();
    return Picture::FromIcon(std::move(icon).Value());
}

}  // namespace platform
