#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/graphics/icon_image.h"
#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/dib_codec.h"
#include "platform/pictures/codecs/file_input.h"
#include "platform/pictures/codecs/ico_format.h"

namespace platform::codecs {

// An .ICO or .CUR file: the entry that best fits preferredSize x preferredSize, as its two
// planes (bitmap entries of every depth with their AND mask, or PNG entries). Cursors keep
// their hotspot and have isIcon false.
Result<IconImage> DecodeIco(std::span<const std::uint8_t> file, int preferredSize = 32);

// The same in two steps, for a file that stays where it is: where the chosen entry lies, then
// its planes from its bytes.
struct IcoEntryPlace {
    std::uint64_t offset = 0;  // in the file
    std::uint32_t size = 0;
    bool isPng = false;
    int width = 0;
    int height = 0;
    bool isIcon = true;  // of the file: false for a cursor, which has a hotspot
    int xHotspot = 0;
    int yHotspot = 0;
    int depth = 0;  // bits per pixel, from the entry's own header or IHDR
};

// Reads and checks the directory and every entry's header, as DecodeIco does, and chooses the
// entry; reads no pixels.
Result<IcoEntryPlace> ChooseIcoEntry(const FileInput& file, int preferredSize = 32);
// Every entry, in the directory's order, read and checked as ChooseIcoEntry reads them.
Result<std::vector<IcoEntryPlace>> ReadIcoEntries(const FileInput& file);
// The planes of the chosen entry, from its `place.size` bytes.
Result<IconImage> DecodeIcoEntry(const IcoEntryPlace& place, std::span<const std::uint8_t> data);

// Where the parts of a bitmap entry of `size` bytes lie, from `head`, the start of its bytes
// (at least its headers and palette), checked as DecodeIcoEntry checks them before any pixel:
// for an entry too large to be decoded whole.
struct IcoBitmapLayout {
    DibHeader dib;  // with the picture's height, not the doubled one
    DibLayout colour;
    std::size_t stride = 0;     // one stored colour row
    std::size_t maskStart = 0;  // from the entry's start: the AND mask follows the colour rows
    std::size_t maskStride = 0;
    bool withAlpha = false;  // the pixels keep alpha, if some pixel uses it
};
Result<IcoBitmapLayout> ReadIcoBitmapLayout(std::span<const std::uint8_t> head, std::uint64_t size);
// Whether the entry holds its AND mask. Writers may leave out the mask of a picture that uses
// alpha; any other entry whose mask is not all there is cut short.
Result<bool> HasIcoMask(const IcoBitmapLayout& layout, std::uint64_t size, bool usesAlpha);
// Sets `mask`'s rows from `bits`, stored rows `stride` bytes apart in the colour rows' order.
void DecodeIcoMaskRows(std::span<const std::uint8_t> bits, std::size_t stride, bool topDown,
                       Bitmap& mask);

}  // namespace platform::codecs
