#pragma once

#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/file_input.h"
#include "platform/pictures/picture.h"

namespace platform {

// A BMP file as a picture. An uncompressed one is decoded only as far as it is shown: its top
// rows are read where they lie (last, in the usual bottom-up file), and its overview from every
// row a strip at a time. One with alpha, or whose palette is short (so that a pixel further on
// could make the whole file invalid), is first read once a strip at a time to settle that. An
// RLE one is checked by one pass over its data on opening, which keeps the top-left corner on
// the way; later passes draw only the rows asked for, one row at a time, so a small file
// claiming a huge picture costs no more than its data. A small file is decoded whole. Refuses
// exactly the files that DecodeBmp refuses.
codecs::Result<Picture> OpenBmpPicture(const codecs::FileInput& file);

}  // namespace platform
