#pragma once

#include "platform/graphics/bitmap.h"
#include "platform/graphics/icon_image.h"

namespace platform {

// The picture types of a picture object, with the values of PICTDESC.picType.
enum class PictureType { None = 0, Bitmap = 1, Icon = 3 };

// What a picture object draws from. It hands out what is drawn, a region at natural size or
// a scaled overview, so that a source may decode no more of a large file than is shown.
class PictureSource {
public:
    virtual ~PictureSource() = default;

    virtual PictureType Type() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;

    // Draws the picture at natural size with its top-left corner at the target's, over
    // what the target holds: transparent parts let it show through.
    virtual void Render(Bitmap& target) const = 0;
    // The whole picture scaled to width x height, with alpha where it is transparent.
    virtual Bitmap Overview(int width, int height) const = 0;
    // Every pixel at natural size; used to write a bitmap file.
    virtual Bitmap Pixels() const = 0;
    // The icon's planes, for icon pictures only.
    virtual const IconImage* Icon() const { return nullptr; }
};

}  // namespace platform
