#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/graphics/bitmap.h"
#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/file_input.h"
#include "platform/pictures/codecs/row_sink.h"

namespace platform::codecs {

// Any PNG, with alpha where the file has transparency.
Result<Bitmap> DecodePng(std::span<const std::uint8_t> file);
Result<Bitmap> DecodePng(const FileInput& file);

// The parts below read the file where it lies and hold no more than a few rows of it.

struct PngLayout {
    int width = 0;
    int height = 0;
    bool hasAlpha = false;  // as DecodePng's bitmap will say
    bool interlaced = false;
};

// Reads and checks the chunks before the image data, as DecodePng does.
Result<PngLayout> ReadPngLayout(const FileInput& file);

// Decodes rows from the top, the very pixels DecodePng gives, and stops once every row above
// `rows` is complete: an interlaced file's after all its earlier passes, which hold half its
// pixels. `sink` gets whole rows, or the leftmost `columns` pixels of each, from an interlaced
// file; a sink that takes spaced pixels gets an interlaced file's passes as they come, and no
// row is held. `rows` of the picture's height reads the file to its end, which settles whether
// DecodePng accepts it; fewer leave the rest unread and unchecked.
Status DecodePngRows(const FileInput& file, int columns, int rows, RowSink& sink);

}  // namespace platform::codecs
