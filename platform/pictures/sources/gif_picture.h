#pragma once

#include <memory>

#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/file_input.h"
#include "platform/pictures/picture_source.h"

namespace platform {

// A GIF file as a picture that decodes only what is drawn: its region stops after the rows it
// needs; its overview reads the whole frame, and keeps the region on the way. Refuses exactly
// the files that DecodeGif refuses.
codecs::Result<std::shared_ptr<const PictureSource>> OpenGifPicture(codecs::FileInput file);

}  // namespace platform
