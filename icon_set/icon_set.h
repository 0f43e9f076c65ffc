#pragma once

#include <optional>
#include <vector>

#include "icon_set/icon_set_options.h"
#include "platform/pictures/codecs/ico_set_encoder.h"
#include "platform/pictures/picture.h"

namespace zentrova {

// The part of a size x size square that a width x height picture fills, scaled to fit with
// its aspect kept and centred: at least a pixel each way.
struct Fit {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
Fit FitInSquare(int width, int height, int size);

// The entries of the icon or cursor made from the whole picture, one per size in the options'
// order: each scaled to fit its square over transparency, 32-bit with alpha and the AND mask
// set exactly where alpha is 0. The picture is decoded once, no larger than the largest entry
// needs (at natural size when a key colour is to be matched). Nothing when the picture cannot
// be decoded; throws std::bad_alloc when memory runs out.
std::optional<std::vector<platform::codecs::IconSetEntry>> MakeIconSet(
    const platform::Picture& picture, const IconSetOptions& options);

}  // namespace zentrova
