#include "platform/pictures/codecs/gif_codec.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "platform/pictures/codecs/limits.h"

namespace platform::codecs {

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

struct MemoryInput {
    std::span<const std::uint8_t> data;
    std::size_t position = 0;
    bool ranOut = false;  // a read asked for more than was left
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int count) {
    auto* input = static_cast<MemoryInput*>(gif->UserData);
    if (count <= 0) return 0;
    const std::size_t n =
        std::min(static_cast<std::size_t>(count), input->data.size() - input->position);
    if (n < static_cast<std::size_t>(count)) input->ranOut = true;
    if (n > 0) std::memcpy(buffer, input->data.data() + input->position, n);
    input->position += n;
    return static_cast<int>(n);
}

const MemoryInput& Input(const GifFileType* gif) {
    return *static_cast<const MemoryInput*>(gif->UserData);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int ignored = 0;
        DGifCloseFile(gif, &ignored);
    }
};
using GifFile = std::unique_ptr<GifFileType, GifCloser>;

CodecFailure GifFailure(int error, const MemoryInput& input) {
    const char* text = GifErrorString(error);
    std::string detail = text ? text : "damaged GIF data";
    // giflib reports a short read in several ways (a missing screen descriptor, no code at
    // all for a missing code size); the cause is the same.
    if (input.ranOut) return Fail(CodecError::Truncated, std::move(detail));
    switch (error) {
        case D_GIF_ERR_OPEN_FAILED:
        case D_GIF_ERR_READ_FAILED:
        case D_GIF_ERR_EOF_TOO_SOON:
            return Fail(CodecError::Truncated, std::move(detail));
        case D_GIF_ERR_NOT_GIF_FILE:
            return Fail(CodecError::BadSignature, std::move(detail));
        case D_GIF_ERR_NO_SCRN_DSCR:
        case D_GIF_ERR_NO_IMAG_DSCR:
        case D_GIF_ERR_NO_COLOR_MAP:
            return Fail(CodecError::BadHeader, std::move(detail));
        case D_GIF_ERR_NOT_ENOUGH_MEM:
            return Fail(CodecError::LimitExceeded, std::move(detail));
        default:
            // giflib gives no code at all for some damage (an LZW code size over 11).
            return Fail(CodecError::Corrupt, std::move(detail));
    }
}

// The Graphic Control Extension names the transparent index of the frame that follows it.
// Other extensions (comments, loop counts, application data) are skipped.
std::optional<CodecFailure> ReadExtension(GifFileType* gif, int& transparentIndex) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
        return GifFailure(gif->Error, Input(gif));
    // block[0] is the sub-block length; the flags are in block[1], the index in block[4].
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4) {
        transparentIndex = (block[1] & 0x01) ? block[4] : -1;
    }
    while (block != nullptr) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
            return GifFailure(gif->Error, Input(gif));
    }
    return std::nullopt;
}

// Where the index-th stored row of an interlaced frame belongs: first every 8th row from 0,
// then every 8th from 4, every 4th from 2, and every 2nd from 1.
int InterlacedRow(int index, int height) {
    constexpr int kStart[4] = {0, 4, 2, 1};
    constexpr int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        const int rows =
            kStart[pass] < height ? (height - kStart[pass] + kStep[pass] - 1) / kStep[pass] : 0;
        if (index < rows) return kStart[pass] + index * kStep[pass];
        index -= rows;
    }
    return height;  // not reached for index < height
}

// Colour for every possible index. Indices past the colour table (the LZW code size may be
// larger than the table) show black, as browsers do; the transparent index shows nothing.
std::array<std::uint32_t, 256> PaletteOf(const ColorMapObject& colours, int transparentIndex) {
    std::array<std::uint32_t, 256> palette;
    palette.fill(kOpaque);
    const int count = std::clamp(colours.ColorCount, 0, 256);
    for (int i = 0; i < count; ++i) {
        const GifColorType& c = colours.Colors[i];
        palette[i] =
            kOpaque | (std::uint32_t{c.Blue} << 16) | (std::uint32_t{c.Green} << 8) | c.Red;
    }
    if (transparentIndex >= 0 && transparentIndex < 256) palette[transparentIndex] = 0;
    return palette;
}

Result<Bitmap> DecodeFirstFrame(GifFileType* gif, int transparentIndex) {
    if (DGifGetImageDesc(gif) == GIF_ERROR) return GifFailure(gif->Error, Input(gif));
    const GifImageDesc& frame = gif->Image;
    const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    // No local and no global table: there is no colour to show, so the file is refused.
    if (colours == nullptr) return Fail(CodecError::BadHeader, "the frame has no colour table");

    // An empty logical screen, written by some old encoders, takes the frame's extent.
    const bool screenGiven = gif->SWidth > 0 && gif->SHeight > 0;
    const int canvasWidth = screenGiven ? gif->SWidth : frame.Left + frame.Width;
    const int canvasHeight = screenGiven ? gif->SHeight : frame.Top + frame.Height;
    if (auto failure = CheckDimensions(canvasWidth, canvasHeight)) return std::move(*failure);
    const bool frameEmpty = frame.Width <= 0 || frame.Height <= 0;
    // Every stored row is decoded, even off screen, so the frame answers to the limit too.
    if (!frameEmpty) {
        if (auto failure = CheckDimensions(frame.Width, frame.Height)) return std::move(*failure);
    }

    const std::array<std::uint32_t, 256> palette = PaletteOf(*colours, transparentIndex);
    // Outside the frame the screen is transparent, as the suite's reference renderings show.
    Bitmap canvas;
    std::vector<GifPixelType> line;
    try {
        canvas = Bitmap(canvasWidth, canvasHeight, PixelFormat::Colour, 0);
        line.resize(frameEmpty ? 0 : static_cast<std::size_t>(frame.Width));
    } catch (const std::bad_alloc&) {
        return Fail(CodecError::LimitExceeded, "no memory for the pixels");
    }

    // The part of each row that lands on the screen.
    const int firstX = std::min(frame.Left, canvasWidth);
    const int endX = std::min(frame.Left + frame.Width, canvasWidth);
    bool allRowsRead = true;
    for (int i = 0; i < frame.Height && !frameEmpty; ++i) {
        if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) {
            // A frame cut short keeps the rows read so far, as viewers show it; the rest stays
            // transparent. giflib fails the last row when only the data's end marker is
            // missing, after decoding it, so that row is kept.
            if (i == 0) return GifFailure(gif->Error, Input(gif));
            if (i + 1 < frame.Height) {
                allRowsRead = false;
                break;
            }
        }
        const int y = frame.Top + (frame.Interlace ? InterlacedRow(i, frame.Height) : i);
        if (y >= canvasHeight) {
            if (!frame.Interlace) break;  // the remaining rows are all below the screen
            continue;
        }
        std::uint32_t* row = canvas.Row(y);
        for (int x = firstX; x < endX; ++x) row[x] = palette[line[x - frame.Left]];
    }

    const bool coversScreen = !frameEmpty && frame.Left == 0 && frame.Top == 0 &&
                              frame.Width >= canvasWidth && frame.Height >= canvasHeight;
    canvas.SetHasAlpha(transparentIndex >= 0 || !coversScreen || !allRowsRead);
    return canvas;
}

}  // namespace

Result<Bitmap> DecodeGif(std::span<const std::uint8_t> file) {
    MemoryInput input{file};
    int error = 0;
    GifFile gif(DGifOpen(&input, &ReadFromMemory, &error));
    if (!gif) return GifFailure(error, input);
    if (gif->SWidth > 0 && gif->SHeight > 0) {
        if (auto failure = CheckDimensions(gif->SWidth, gif->SHeight)) return std::move(*failure);
    }

    // Only the first frame counts: records are read one at a time up to it, so a long
    // animation costs no more than its first picture.
    int transparentIndex = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) return GifFailure(gif->Error, input);
        switch (type) {
            case EXTENSION_RECORD_TYPE:
                if (auto failure = ReadExtension(gif.get(), transparentIndex))
                    return std::move(*failure);
                break;
            case IMAGE_DESC_RECORD_TYPE:
                return DecodeFirstFrame(gif.get(), transparentIndex);
            case TERMINATE_RECORD_TYPE:
                return Fail(CodecError::Corrupt, "the file holds no frame");
            default:
                return Fail(CodecError::Corrupt, "unknown record");
        }
    }
}

}  // namespace platform::codecs
