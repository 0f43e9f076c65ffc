#pragma once

#include "platform/graphics/bitmap.h"
#include "platform/graphics/icon_image.h"
#include "platform/pictures/codecs/row_sink.h"

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
    // The picture's top-left width x height at natural size (less where the picture is
    // smaller), with alpha where it is transparent. By default what Render draws on black.
    virtual Bitmap Region(int width, int height) const;
    // The whole picture scaled to width x height, with alpha where it is transparent.
    virtual Bitmap Overview(int width, int height) const = 0;
    // Every pixel at natural size; used to write a bitmap file.
    virtual Bitmap Pixels() const = 0;
    // Hands `sink` every row of the picture, top row first, with alpha where it is
    // transparent and 255 where it is opaque. A decoder that can reduce the picture as it
    // decodes (a JPEG's DCT) hands it smaller, but no smaller than minWidth x minHeight unless
    // the picture is: Start says the size handed. False when the file cannot be decoded.
    virtual bool Stream(int minWidth, int minHeight, codecs::RowSink& sink) const;
    // The icon's planes, for icon pictures only.
    virtual const IconImage* Icon() const { return nullptr; }

    // True for a source that decodes from its file when asked: what it hands out may take a
    // while to make, and it may be asked from several threads at once. Other sources hold
    // their pixels and answer at once.
    virtual bool DecodesOnDemand() const { return false; }
};

}  // namespace platform
