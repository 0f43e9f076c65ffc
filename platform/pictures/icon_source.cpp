#include "platform/pictures/icon_source.h"

namespace platform {

int IconSource::Width() const {
    return Image() ? Image()->Width() : 0;
}

int IconSource::Height() const {
    return Image() ? Image()->Height() : 0;
}

void IconSource::Render(Bitmap& target) const {
    if (Image()) DrawIcon(*Image(), target, 0, 0);
}

Bitmap IconSource::Region(int width, int height) const {
    return Image() ? IconWithAlpha(*Image()).Crop(0, 0, width, height) : Bitmap();
}

Bitmap IconSource::Overview(int width, int height) const {
    return Image() ? Scale(IconWithAlpha(*Image()), width, height) : Bitmap();
}

Bitmap IconSource::Pixels() const {
    return Image() ? Image()->colour : Bitmap();
}

}  // namespace platform
