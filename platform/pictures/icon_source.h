#pragma once

#include "platform/pictures/picture_source.h"

namespace platform {

// An icon picture, wherever its icon is kept: drawn through its mask, its cuts and overviews
// with alpha where it is transparent. Empty while there is no icon to draw.
class IconSource : public PictureSource {
  public:
    PictureType Type() const override { return PictureType::Icon; }
    int Width() const override;
    int Height() const override;
    void Render(Bitmap& target) const override;
    Bitmap Region(int width, int height) const override;
    Bitmap Overview(int width, int height) const override;
    Bitmap Pixels() const override;
    const IconImage* Icon() const override { return Image(); }

  protected:
    // The icon, or null when there is none (a handle that names no icon any more).
    virtual const IconImage* Image() const = 0;
};

}  // namespace platform
