#pragma once

#include <memory>

#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/file_input.h"
#include "platform/pictures/picture_source.h"

namespace platform {

// A JPEG file as a picture that decodes only what is drawn: the top-left region by cropping
// and stopping early (a progressive or other multi-scan file by a frame cut short below it),
// the overview by DCT scaling. Refuses exactly the files that DecodeJpeg refuses.
codecs::Result<std::shared_ptr<const PictureSource>> OpenJpegPicture(codecs::FileInput file);

}  // namespace platform
