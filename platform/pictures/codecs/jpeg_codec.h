#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/graphics/bitmap.h"
#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/file_input.h"
#include "platform/pictures/codecs/jpeg_structure.h"
#include "platform/pictures/codecs/row_sink.h"

namespace platform::codecs {

// Baseline, progressive, greyscale and CMYK JPEG files, as opaque colour bitmaps.
Result<Bitmap> DecodeJpeg(std::span<const std::uint8_t> file);
Result<Bitmap> DecodeJpeg(const FileInput& file);

// The parts below decode no more than is asked, and each refuses exactly the files that
// DecodeJpeg refuses.

struct JpegLayout {
    int width = 0;
    int height = 0;
    // Several scans (progressive files, mostly): every scan holds some of every row, so even
    // the first rows take a pass over the whole file.
    bool multiScan = false;
    // Where its frame and scans lie, for the decodes below.
    JpegStructure structure;
};

// Walks the file and reads the header. A single-scan file is also made ready to decode,
// which settles whether DecodeJpeg would accept it, without decoding a pixel; a multi-scan
// file is settled only by decoding it (DecodeJpegRows).
Result<JpegLayout> ReadJpegLayout(const FileInput& file);

// Decodes rows from the top at natural size, stopping after `rows` rows, and hands `sink` the
// leftmost `columns` pixels of each: the very pixels DecodeJpeg gives there. A multi-scan
// file is told that its frame is only a little taller than `rows`, so that libjpeg decodes
// no more than the first rows of each scan and holds their coefficients alone.
Status DecodeJpegRows(const FileInput& file, const JpegStructure& structure, int columns, int rows,
                      RowSink& sink);

// How far (in eighths) the DCT may reduce a width x height picture that is to be averaged
// down to minWidth x minHeight: 1 when an eighth of it is still that large, else 8, its
// natural size. Only 1/8 is worth it: each pixel is then its block's average (the DC), while
// the scales between resample the block and are no closer to an average than the eighth.
int JpegReducedEighths(int width, int height, int minWidth, int minHeight);
// The picture's size reduced to eighths/8 by the DCT: every 8 x 8 block becomes
// eighths x eighths pixels, a part-filled block at the edge as much as it holds, rounded up.
int JpegReducedSide(int natural, int eighths);

// The whole picture reduced by the DCT to eighths/8 of its size, row by row. Its pixels are
// close to the averages of DecodeJpeg's, not equal to them. A progressive file's eighth is
// read from its DC scans alone, and is what libjpeg makes of all its scans.
Status DecodeJpegReduced(const FileInput& file, const JpegStructure& structure, int eighths,
                         RowSink& sink);

}  // namespace platform::codecs
