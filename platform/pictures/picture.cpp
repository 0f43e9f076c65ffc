#include "platform/pictures/picture.h"

#include <algorithm>
#include <new>
#include <vector>

#include "platform/pictures/icon_source.h"

namespace platform {

namespace {

class BitmapSource final : public PictureSource {
  public:
    explicit BitmapSource(Bitmap pixels) : m_pixels(std::move(pixels)) {}

    PictureType Type() const override { return PictureType::Bitmap; }
    int Width() const override { return m_pixels.Width(); }
    int Height() const override { return m_pixels.Height(); }
    void Render(Bitmap& target) const override {
        Composite(m_pixels.Crop(0, 0, target.Width(), target.Height()), target, 0, 0);
    }
    Bitmap Region(int width, int height) const override {
        return m_pixels.Crop(0, 0, width, height);
    }
    Bitmap Overview(int width, int height) const override { return Scale(m_pixels, width, height); }
    Bitmap Pixels() const override { return m_pixels; }

  private:
    Bitmap m_pixels;
};

class OwnIconSource final : public IconSource {
  public:
    explicit OwnIconSource(IconImage icon) : m_icon(std::move(icon)) {}

  private:
    const IconImage* Image() const override { return &m_icon; }

    IconImage m_icon;
};

}  // namespace

Bitmap PictureSource::Region(int width, int height) const {
    Bitmap region(std::clamp(width, 0, Width()), std::clamp(height, 0, Height()),
                  PixelFormat::Colour);
    Render(region);
    return region;
}

bool PictureSource::Stream(int, int, codecs::RowSink& sink) const {
    // A picture held whole is handed whole; an icon with its mask turned into alpha.
    const IconImage* icon = Icon();
    const Bitmap pixels = icon ? IconWithAlpha(*icon) : Pixels();
    if (pixels.IsEmpty()) return false;
    sink.Start(pixels.Width(), pixels.Height());
    std::vector<std::uint32_t> row(static_cast<std::size_t>(pixels.Width()));
    for (int y = 0; y < pixels.Height(); ++y) {
        const std::uint32_t* from = pixels.Row(y);
        for (std::size_t x = 0; x < row.size(); ++x) {
            if (pixels.IsMonochrome()) {
                row[x] = from[x] ? 0xFFFFFFFFu : 0xFF000000u;
            } else {
                row[x] = pixels.HasAlpha() ? from[x] : WithAlpha(from[x], 255);
            }
        }
        sink.Row(y, row.data());
    }
    return true;
}

Picture Picture::FromBitmap(Bitmap pixels) {
    return Picture(std::make_shared<BitmapSource>(std::move(pixels)));
}

Picture Picture::FromIcon(IconImage icon) {
    return Picture(std::make_shared<OwnIconSource>(std::move(icon)));
}

// Memory that runs out while a picture is drawn or scaled fails that drawing, not the program:
// what was drawn so far stays, and a region or overview is empty.
void Picture::Render(Bitmap& target) const {
    try {
        if (m_source) m_source->Render(target);
    } catch (const std::bad_alloc&) {
    }
}

Bitmap Picture::Region(int width, int height) const {
    try {
        return m_source ? m_source->Region(width, height) : Bitmap();
    } catch (const std::bad_alloc&) {
        return Bitmap();
    }
}

Bitmap Picture::Overview(int width, int height) const {
    try {
        return m_source ? m_source->Overview(width, height) : Bitmap();
    } catch (const std::bad_alloc&) {
        return Bitmap();
    }
}

Bitmap Picture::Pixels() const {
    return m_source ? m_source->Pixels() : Bitmap();
}

}  // namespace platform
