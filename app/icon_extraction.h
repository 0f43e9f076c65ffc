#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/graphics/bitmap.h"
#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/file_input.h"
#include "platform/pictures/codecs/ico_codec.h"

namespace zentrova {

// The names --extract gives the entries, in their order: STEM-WxH.png, and for the entries
// that share a size with a deeper one (or an earlier one as deep), STEM-WxH-Nbit.png, with
// -INDEX after it when that too is taken. The entry an icon reader would take for the size
// keeps the plain name.
std::vector<std::string> EntryFileNames(
    const std::string& stem, const std::vector<platform::codecs::IcoEntryPlace>& entries);

// The entry's pixels with alpha, as the icon reader decodes them: its own alpha, or where it
// has none (a 32-bit entry whose alpha is 0 everywhere included) the AND mask's. An entry
// larger than 256 x 256 is refused: only PNG entries can be, and they would be decoded whole.
platform::codecs::Result<platform::Bitmap> EntryPixels(
    const platform::codecs::FileInput& file, const platform::codecs::IcoEntryPlace& entry);

// --extract: every entry of every input as a PNG file, beside its input or in the folder of
// -d (made first, as mkdir -p does), each file written printed on out. 0 when every entry of
// every input was written and printed, else 1.
int ExtractIcons(const ConvertCommand& command, std::ostream& out, std::ostream& err);

}  // namespace zentrova
