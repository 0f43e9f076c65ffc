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

// A file on disk is read a chunk at a time: giflib asks for a few bytes at once.
constexpr std::size_t kChunkBytes = 64 * 1024;

struct GifInput {
    const FileInput& file;
    std::uint64_t position = 0;  // of the next byte giflib gets
    bool ranOut = false;         // a read asked for more than was left
    std::vector<std::uint8_t> chunk;
    std::uint64_t chunkStart = 0;
};

int ReadFromFile(GifFileType* gif, GifByteType* buffer, int count) {
    auto* input = static_cast<GifInput*>(gif->UserData);
    if (count <= 0) return 0;
    std::size_t done = 0;
    const std::span<const std::uint8_t> memory = input->file.Memory();
    while (done < static_cast<std::size_t>(count) && input->position < input->file.Size()) {
        const std::size_t wanted = static_cast<std::size_t>(count) - done;
        std::size_t n = 0;
        if (!memory.empty()) {
            n = std::min<std::size_t>(wanted, memory.size() - input->position);
            std::memcpy(buffer + done, memory.data() + input->position, n);
        } else {
            const std::uint64_t chunkEnd = input->chunkStart + input->chunk.size();
            if (input->position < input->chunkStart || input->position >= chunkEnd) {
                input->chunk.resize(kChunkBytes);
                input->chunk.resize(input->file.ReadAt(input->position, input->chunk));
                input->chunkStart = input->position;
                if (input->chunk.empty()) break;  // the file was cut since it was opened
            }
            const std::size_t offset =
                static_cast<std::size_t>(input->position - input->chunkStart);
            n = std::min(wanted, input->chunk.size() - offset);
            std::memcpy(buffer + done, input->chunk.data() + offset, n);
        }
        done += n;
        input->position += n;
    }
    if (done < static_cast<std::size_t>(count)) input->ranOut = true;
    return static_cast<int>(done);
}

const GifInput& Input(const GifFileType* gif) {
    return *static_cast<const GifInput*>(gif->UserData);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int ignored = 0;
        DGifCloseFile(gif, &ignored);
    }
};
using GifFile = std::unique_ptr<GifFileType, GifCloser>;

CodecFailure GifFailure(int error, const GifInput& input) {
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
Status ReadExtension(GifFileType* gif, int& transparentIndex) {
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
    return Done();
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
    const auto count = static_cast<std::size_t>(std::clamp(colours.ColorCount, 0, 256));
    for (std::size_t i = 0; i < count; ++i) {
        const GifColorType& c = colours.Colors[i];
        palette[i] =
            kOpaque | (std::uint32_t{c.Blue} << 16) | (std::uint32_t{c.Green} << 8) | c.Red;
    }
    if (transparentIndex >= 0 && transparentIndex < 256) {
        palette[static_cast<std::size_t>(transparentIndex)] = 0;
    }
    return palette;
}

// The first frame, from its file's start to its rows. Open() makes every check DecodeGif makes
// before the first row; Decode() then hands over rows.
class FirstFrame {
  public:
    explicit FirstFrame(const FileInput& file) : m_input{file, 0, false, {}, 0} {}

    Status Open();
    int ScreenWidth() const { return m_screenWidth; }
    int ScreenHeight() const { return m_screenHeight; }
    // Hands `sink` the screen rows the frame covers, up to row `rows` of the screen or, with
    // `rows` at the screen's height, to the frame's end. Decodes at least the frame's first row,
    // whose failure is the file's.
    Result<GifRowsRead> Decode(int rows, RowSink& sink);

  private:
    Status ReadUpToFrame();

    GifInput m_input;
    GifFile m_gif;
    int m_transparentIndex = -1;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    std::array<std::uint32_t, 256> m_palette{};
};

Status FirstFrame::Open() {
    int error = 0;
    m_gif.reset(DGifOpen(&m_input, &ReadFromFile, &error));
    if (!m_gif) return GifFailure(error, m_input);
    if (m_gif->SWidth > 0 && m_gif->SHeight > 0) {
        if (Status checked = CheckDimensions(m_gif->SWidth, m_gif->SHeight); !checked)
            return checked;
    }
    if (Status reached = ReadUpToFrame(); !reached) return reached;

    GifFileType* gif = m_gif.get();
    if (DGifGetImageDesc(gif) == GIF_ERROR) return GifFailure(gif->Error, m_input);
    const GifImageDesc& frame = gif->Image;
    const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    // No local and no global table: there is no colour to show, so the file is refused.
    if (colours == nullptr) return Fail(CodecError::BadHeader, "the frame has no colour table");

    // An empty logical screen, written by some old encoders, takes the frame's extent.
    const bool screenGiven = gif->SWidth > 0 && gif->SHeight > 0;
    m_screenWidth = screenGiven ? gif->SWidth : frame.Left + frame.Width;
    m_screenHeight = screenGiven ? gif->SHeight : frame.Top + frame.Height;
    if (Status checked = CheckDimensions(m_screenWidth, m_screenHeight); !checked) return checked;
    // Every stored row is decoded, even off screen, so the frame answers to the limit too.
    if (frame.Width > 0 && frame.Height > 0) {
        if (Status checked = CheckDimensions(frame.Width, frame.Height); !checked) return checked;
    }
    m_palette = PaletteOf(*colours, m_transparentIndex);
    return Done();
}

// Only the first frame counts: records are read one at a time up to it, so a long animation
// costs no more than its first picture.
Status FirstFrame::ReadUpToFrame() {
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(m_gif.get(), &type) == GIF_ERROR)
            return GifFailure(m_gif->Error, m_input);
        switch (type) {
            case EXTENSION_RECORD_TYPE:
                if (Status read = ReadExtension(m_gif.get(), m_transparentIndex); !read)
                    return read;
                break;
            case IMAGE_DESC_RECORD_TYPE:
                return Done();
            case TERMINATE_RECORD_TYPE:
                return Fail(CodecError::Corrupt, "the file holds no frame");
            default:
                return Fail(CodecError::Corrupt, "unknown record");
        }
    }
}

Result<GifRowsRead> FirstFrame::Decode(int rows, RowSink& sink) {
    GifFileType* gif = m_gif.get();
    const GifImageDesc& frame = gif->Image;
    const bool frameEmpty = frame.Width <= 0 || frame.Height <= 0;
    std::vector<GifPixelType> line;
    std::vector<std::uint32_t> screenRow;
    try {
        line.resize(frameEmpty ? 0 : static_cast<std::size_t>(frame.Width));
        screenRow.resize(static_cast<std::size_t>(m_screenWidth));
    } catch (const std::bad_alloc&) {
        return Fail(CodecError::LimitExceeded, "no memory for a row");
    }
    sink.Start(m_screenWidth, m_screenHeight);

    // The frame's rows map one to one onto screen rows from its top, interlaced or not, so
    // this many of them land above `rows`.
    const bool toTheEnd = rows >= m_screenHeight;
    const long wanted =
        std::clamp<long>(static_cast<long>(std::min(rows, m_screenHeight)) - frame.Top, 0,
                         frameEmpty ? 0 : frame.Height);
    long handed = 0;
    // The part of each row that lands on the screen.
    const int firstX = std::min(frame.Left, m_screenWidth);
    const int endX = std::min(frame.Left + frame.Width, m_screenWidth);
    bool allRowsRead = true;
    for (int i = 0; i < frame.Height && !frameEmpty; ++i) {
        if (!toTheEnd && i > 0 && handed >= wanted) break;
        if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) {
            // A frame cut short keeps the rows read so far, as viewers show it; the rest stays
            // transparent. giflib fails the last row when only the data's end marker is
            // missing, after decoding it, so that row is kept.
            if (i == 0) return GifFailure(gif->Error, m_input);
            if (i + 1 < frame.Height) {
                allRowsRead = false;
                break;
            }
        }
        const int y = frame.Top + (frame.Interlace ? InterlacedRow(i, frame.Height) : i);
        if (y >= m_screenHeight) {
            if (!frame.Interlace) break;  // the remaining rows are all below the screen
            continue;
        }
        for (int x = firstX; x < endX; ++x) {
            // The frame's left edge is a 16-bit field: x is never below it, nor below 0.
            const auto column = static_cast<std::size_t>(x);
            screenRow[column] = m_palette[line[column - static_cast<std::size_t>(frame.Left)]];
        }
        if (y < rows) ++handed;
        sink.Row(y, screenRow.data());
    }

    const bool coversScreen = !frameEmpty && frame.Left == 0 && frame.Top == 0 &&
                              frame.Width >= m_screenWidth && frame.Height >= m_screenHeight;
    return GifRowsRead{m_transparentIndex >= 0 || !coversScreen || !allRowsRead};
}

// Keeps every row handed over, on a screen that starts transparent.
class ScreenSink final : public RowSink {
  public:
    void Start(int width, int height) override {
        m_screen = Bitmap(width, height, PixelFormat::Colour, 0);
    }
    void Row(int y, const std::uint32_t* pixels) override {
        std::copy_n(pixels, m_screen.Width(), m_screen.Row(y));
    }
    Bitmap& Screen() { return m_screen; }

  private:
    Bitmap m_screen;
};

// Rows are not wanted at all.
class NoSink final : public RowSink {
  public:
    void Start(int, int) override {}
    void Row(int, const std::uint32_t*) override {}
};

}  // namespace

Result<Bitmap> DecodeGif(std::span<const std::uint8_t> file) {
    return DecodeGif(FileInput(file));
}

Result<Bitmap> DecodeGif(const FileInput& file) {
    FirstFrame frame(file);
    if (Status opened = frame.Open(); !opened) return opened.Failure();
    ScreenSink sink;
    try {
        auto read = frame.Decode(frame.ScreenHeight(), sink);
        if (!read) return read.Failure();
        sink.Screen().SetHasAlpha(read.Value().hasAlpha);
    } catch (const std::bad_alloc&) {
        return Fail(CodecError::LimitExceeded, "no memory for the pixels");
    }
    return std::move(sink.Screen());
}

Result<GifLayout> ReadGifLayout(const FileInput& file) {
    FirstFrame frame(file);
    if (Status opened = frame.Open(); !opened) return opened.Failure();
    NoSink sink;
    auto read = frame.Decode(0, sink);
    if (!read) return read.Failure();
    return GifLayout{frame.ScreenWidth(), frame.ScreenHeight()};
}

Result<GifRowsRead> DecodeGifRows(const FileInput& file, int rows, RowSink& sink) {
    FirstFrame frame(file);
    if (Status opened = frame.Open(); !opened) return opened.Failure();
    return frame.Decode(rows, sink);
}

}  // namespace platform::codecs
