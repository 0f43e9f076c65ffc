#include "platform/graphics/icon_image.h"

namespace platform {

void DrawIcon(const IconImage& icon, Bitmap& target, int x, int y) {
    if (icon.colour.HasAlpha()) {
        Composite(icon.colour, target, x, y);
        return;
    }
    for (int sy = 0; sy < icon.Height(); ++sy) {
        const int ty = y + sy;
        if (ty < 0 || ty >= target.Height()) continue;
        for (int sx = 0; sx < icon.Width(); ++sx) {
            const int tx = x + sx;
            if (tx < 0 || tx >= target.Width()) continue;
            const bool seeThrough = icon.mask.Contains(sx, sy) && icon.mask.At(sx, sy) != 0;
            const std::uint32_t andMask = seeThrough ? 0xFFFFFF : 0;
            target.Set(tx, ty, (target.At(tx, ty) & andMask) ^ ColourOf(icon.colour.At(sx, sy)));
        }
    }
}

Bitmap IconWithAlpha(const IconImage& icon) {
    if (icon.colour.HasAlpha()) return icon.colour;
    Bitmap result(icon.Width(), icon.Height(), PixelFormat::Colour);
    result.SetHasAlpha(true);
    for (int y = 0; y < icon.Height(); ++y) {
        for (int x = 0; x < icon.Width(); ++x) {
            const bool seeThrough = icon.mask.Contains(x, y) && icon.mask.At(x, y) != 0;
            result.Set(x, y, WithAlpha(icon.colour.At(x, y), seeThrough ? 0 : 255));
        }
    }
    return result;
}

}  // namespace platform
