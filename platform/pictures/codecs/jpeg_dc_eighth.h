#pragma once

#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/file_input.h"
#include "platform/pictures/codecs/jpeg_structure.h"
#include "platform/pictures/codecs/row_sink.h"

namespace platform::codecs {

// A progressive JPEG, Huffman or arithmetic coded, reduced to an eighth from its DC scans alone,
// one MCU row at a time: each block becomes the pixel libjpeg makes of it at 1/8 scale (its DC
// value dequantised, descaled and level-shifted; colour upsampled by repetition; libjpeg's
// colour conversion), so that memory follows the width and never the height. When
// `frameHeight` is not 0 only that many rows of the frame are decoded, and the rows below are
// the same as the last. Every file it accepts gives what libjpeg gives from the same DC scans,
// but where colour halved both ways holds DC values far out of range (damaged data): libjpeg
// then makes that colour with a 2 x 2 IDCT, which wraps them otherwise.
Status DecodeJpegDcEighth(const FileInput& file, const JpegStructure& structure, int frameHeight,
                          RowSink& sink);

}  // namespace platform::codecs
