#pragma once

#include <memory>

#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/file_input.h"
#include "platform/pictures/picture_source.h"

namespace platform {

// A PNG file as a picture that decodes only what is drawn, a row at a time: the region stops
// after the rows it needs (an interlaced file's after the passes before its last), the
// overview takes every row into the scaler as it comes. Opening decodes the region the panes
// show; a picture no taller than that region is then read to its end, so that exactly the
// files DecodePng refuses are refused. A taller one is checked on opening as far as that
// region reaches: damage further down leaves its overview empty.
codecs::Result<std::shared_ptr<const PictureSource>> OpenPngPicture(codecs::FileInput file);

}  // namespace platform
