#pragma once

#include "platform/graphics/bitmap.h"

namespace platform {

// The two planes of an icon or cursor. Where the mask is 1 the surface shows through (XORed
// with the colour plane); where it is 0 the colour plane replaces it. A colour plane with
// alpha is blended by its alpha instead.
struct IconImage {
    Bitmap colour;  // colour format
    Bitmap mask;    // monochrome, same size
    bool isIcon = true;
    int xHotspot = 0;
    int yHotspot = 0;

    int Width() const { return colour.Width(); }
    int Height() const { return colour.Height(); }
    bool operator==(const IconImage&) const = default;
};

// Draws the icon at natural size with its top-left corner at (x, y).
void DrawIcon(const IconImage& icon, Bitmap& target, int x, int y);

// The icon as a bitmap with alpha: opaque where the mask is 0, unless it has alpha of its own.
Bitmap IconWithAlpha(const IconImage& icon);

}  // namespace platform
