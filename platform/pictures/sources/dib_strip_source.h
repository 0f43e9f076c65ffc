#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/graphics/icon_image.h"
#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/dib_codec.h"
#include "platform/pictures/codecs/file_input.h"
#include "platform/pictures/sources/decoding_source.h"

namespace platform {

// Where the parts of an uncompressed bitmap lie in the input it is read from (a bitmap file, or
// an icon's entry), as its reader has checked them.
struct DibStrips {
    codecs::DibHeader header;            // with the picture's height
    std::vector<std::uint32_t> palette;  // as many colours as the depth uses, or fewer
    std::uint64_t pixelStart = 0;        // in the input
    std::size_t stride = 0;              // one stored row
    bool withAlpha = false;              // the pixels keep alpha, if some pixel uses it
    // For an icon's bitmap entry: its AND mask follows the colour rows and is there unless
    // the picture uses alpha, when it may be left out.
    bool isIcon = false;
    std::uint64_t maskStart = 0;  // in the input
    std::size_t maskStride = 0;
    std::uint64_t entrySize = 0;  // the entry's bytes, which the input holds
};

// An uncompressed bitmap, or the bitmap entry of an icon too large to be held, decoded a
// strip of rows at a time where it lies: a strip is the most ever held, however large the
// picture. What only every pixel can tell (whether alpha is used, whether a pixel lies past a
// short palette) is settled by one pass over all of them on opening.
class DibStripSource final : public DecodingSource {
  public:
    DibStripSource(codecs::FileInput file, DibStrips strips);

    // The pass on opening, where one is needed; else the top strip, which proves the rows
    // decode. Fails as a whole decode of the file would.
    codecs::Status Open();

    PictureType Type() const override;
    void Render(Bitmap& target) const override;
    Bitmap Pixels() const override;

  protected:
    bool Opaque() const override;
    bool DecodeTop(int columns, int rows, codecs::RowSink& sink, bool& hasAlpha) const override;
    Bitmap DecodeOverview(int width, int height) const override;

  private:
    // One strip's stored bytes and planes, kept from strip to strip.
    struct Strip {
        std::vector<std::uint8_t> bytes;
        IconImage planes;
    };
    // The picture's rows [top, top + count): their colour plane and, for an icon whose mask
    // counts, their mask.
    codecs::Status DecodeStrip(int top, int count, Strip& strip) const;
    // Hands `sink` every row of [0, rows), as they are drawn: for an icon, with its alpha.
    bool Rows(int rows, codecs::RowSink& sink) const;
    int StripRows() const;

    codecs::FileInput m_file;
    DibStrips m_strips;
    bool m_usesAlpha = false;  // set once, on opening
    bool m_readMask = false;   // set once, on opening
};

}  // namespace platform
