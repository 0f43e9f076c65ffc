#pragma once

#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/file_input.h"
#include "platform/pictures/picture.h"

namespace platform {

// An .ICO or .CUR file as a picture, read where it lies: only the directory, each entry's
// header and the chosen entry. An icon whose picture is larger than an icon file can hold is
// shown as it decodes, never held whole: from its PNG, or from its bitmap a strip of rows at a
// time after one pass over them; having no planes to write, it cannot be saved as an icon.
// Refuses the files that DecodeIco refuses, but for damage that a large PNG picture has below
// the rows the panes show. The entry is the one that best fits preferredSize x preferredSize.
codecs::Result<Picture> OpenIcoPicture(const codecs::FileInput& file, int preferredSize = 32);

}  // namespace platform
