#include "platform/pictures/codecs/png_codec.h"

#include <png.h>

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/pictures/codecs/limits.h"

namespace platform::codecs {

namespace {

constexpr std::size_t kSignatureBytes = 8;
// Ancillary chunks are not needed for the pixels; this keeps a file from making libpng hold
// megabytes of text or profiles.
constexpr png_alloc_size_t kMaxChunkBytes = 8u * 1024 * 1024;
constexpr png_uint_32 kMaxCachedChunks = 256;
// libpng only warns about an ancillary chunk larger than the limit above and then allocates
// it anyway (a 57-byte file can ask for a gigabyte), so its allocator refuses big blocks. Its
// largest proper blocks are rows of 65535 16-bit RGBA pixels (512 KiB) and chunks up to the
// limit above.
constexpr png_alloc_size_t kMaxAllocationBytes = 2 * kMaxChunkBytes;

// Everything the libpng callbacks touch. Plain data only: the callbacks leave by longjmp.
struct ReadState {
    SequentialReader* reader = nullptr;
    bool truncated = false;
    char message[128] = {};
};

void ReadFromInput(png_structp png, png_bytep out, png_size_t count) {
    auto* state = static_cast<ReadState*>(png_get_io_ptr(png));
    if (state->reader->Read(std::span(out, count)) != count) {
        state->truncated = true;
        png_error(png, "file ends inside a chunk");
    }
}

void OnError(png_structp png, png_const_charp message) {
    auto* state = static_cast<ReadState*>(png_get_error_ptr(png));
    std::strncpy(state->message, message ? message : "", sizeof state->message - 1);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

png_voidp LimitedMalloc(png_structp, png_alloc_size_t size) {
    if (size > kMaxAllocationBytes) return nullptr;
    return std::malloc(size);
}

void LimitedFree(png_structp, png_voidp block) {
    std::free(block);
}

// Owns libpng's two structures so that every way out of DecodePng frees them.
class PngHandles {
  public:
    explicit PngHandles(ReadState& state) {
        m_png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning, nullptr,
                                         LimitedMalloc, LimitedFree);
        if (m_png) m_info = png_create_info_struct(m_png);
    }
    ~PngHandles() {
        if (m_png) png_destroy_read_struct(&m_png, m_info ? &m_info : nullptr, nullptr);
    }
    PngHandles(const PngHandles&) = delete;
    PngHandles& operator=(const PngHandles&) = delete;

    bool Ok() const { return m_png && m_info; }
    png_structp Png() const { return m_png; }
    png_infop Info() const { return m_info; }

  private:
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

struct PngHeader {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    bool hasAlpha = false;
    bool interlaced = false;
    std::size_t rowBytes = 0;
};

// Reads up to the image data and sets the transforms that give 8-bit RGBA in the byte order of
// our 0xAABBGGRR pixels. No C++ object lives in this frame, so libpng's longjmp skips nothing.
bool ReadHeaderAndSetTransforms(png_structp png, png_infop info, PngHeader& header) {
    if (setjmp(png_jmpbuf(png))) return false;

    png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_set_chunk_cache_max(png, kMaxCachedChunks);
    png_read_info(png, info);

    const png_byte colourType = png_get_color_type(png, info);
    const png_byte bitDepth = png_get_bit_depth(png, info);
    const bool hasTransparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    header.hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || hasTransparency;

    // No gamma transform is set, so the pixels are the stored values.
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (hasTransparency) png_set_tRNS_to_alpha(png);
    if (bitDepth == 16) png_set_strip_16(png);
    if ((colourType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
    // Opaque pictures get a zero alpha byte: our colours are 0x00BBGGRR.
    if (!header.hasAlpha) png_set_filler(png, 0, PNG_FILLER_AFTER);
    if constexpr (std::endian::native == std::endian::big) {
        png_set_bgr(png);
        png_set_swap_alpha(png);
    }
    // Interlaced pictures come pass by pass, each row of a pass as its own short row: libpng
    // would combine them only into rows of the whole picture, which it needs held.
    png_read_update_info(png, info);

    header.width = png_get_image_width(png, info);
    header.height = png_get_image_height(png, info);
    header.interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    header.rowBytes = png_get_rowbytes(png, info);
    return true;
}

// One row of the image data, or of the current pass; a row at a time, so that the frame that
// libpng's longjmp returns to is this small one.
bool ReadRow(png_structp png, std::uint32_t* row) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_row(png, reinterpret_cast<png_bytep>(row), nullptr);
    return true;
}

// Reads the rest so that a damaged end of the compressed stream is noticed.
bool ReadEnd(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_end(png, info);
    return true;
}

std::uint32_t BigEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

// Signature, chunk length, "IHDR", width, height.
constexpr std::size_t kHeaderEnd = kSignatureBytes + 8 + 8;

// The dimensions from the IHDR chunk, checked against our limit before libpng allocates.
Status CheckHeaderChunk(std::span<const std::uint8_t> file) {
    if (file.size() < kHeaderEnd)
        return Fail(CodecError::Truncated, "no room for the header chunk");
    if (BigEndian32(file, kSignatureBytes) != 13 ||
        std::memcmp(file.data() + kSignatureBytes + 4, "IHDR", 4) != 0) {
        return Fail(CodecError::BadHeader, "first chunk is not a 13-byte IHDR");
    }
    const std::uint32_t width = BigEndian32(file, kSignatureBytes + 8);
    const std::uint32_t height = BigEndian32(file, kSignatureBytes + 12);
    return CheckDimensions(width, height);
}

// libpng reading one file from front to back.
class PngDecoder {
  public:
    explicit PngDecoder(const FileInput& file) : m_file(file), m_reader(file), m_handles(m_state) {
        m_state.reader = &m_reader;
    }

    Status Start(PngHeader& header) {
        std::uint8_t head[kHeaderEnd];
        const std::span<const std::uint8_t> start(head, m_file.ReadAt(0, head));
        if (start.size() < kSignatureBytes || png_sig_cmp(start.data(), 0, kSignatureBytes) != 0) {
            return Fail(CodecError::BadSignature, "not a PNG file");
        }
        if (Status checked = CheckHeaderChunk(start); !checked) return checked;
        if (!m_handles.Ok()) return Fail(CodecError::Corrupt, "libpng could not start");
        png_set_read_fn(m_handles.Png(), &m_state, ReadFromInput);
        if (!ReadHeaderAndSetTransforms(m_handles.Png(), m_handles.Info(), header)) {
            return Failed("header");
        }
        if (Status checked = CheckDimensions(header.width, header.height); !checked) return checked;
        if (header.rowBytes != static_cast<std::size_t>(header.width) * 4) {
            return Fail(CodecError::Unsupported, "transforms did not give 8-bit RGBA");
        }
        return Done();
    }
    bool Row(std::uint32_t* row) { return ReadRow(m_handles.Png(), row); }
    bool End() { return ReadEnd(m_handles.Png(), m_handles.Info()); }

    CodecFailure Failed(const char* stage) const {
        std::string detail = std::string(stage) + ": " + m_state.message;
        return Fail(m_state.truncated ? CodecError::Truncated : CodecError::Corrupt, detail);
    }

  private:
    const FileInput& m_file;
    SequentialReader m_reader;
    ReadState m_state;
    PngHandles m_handles;
};

// Adam7 puts each pixel in one of seven passes, stored one after the other, each a picture of
// its own: every 8th pixel of every 8th row first, every other pixel of every other row last.
// The rows above `rows` are complete once the last pass has reached them.
Status ReadPasses(PngDecoder& decoder, int width, int height, int columns, int rows,
                  RowSink& sink) {
    std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
    // For a sink that takes whole rows they are gathered here, as few as were asked for.
    Bitmap gathered;
    if (!sink.TakesSpacedPixels()) {
        gathered = Bitmap(std::clamp(columns, 1, width), rows, PixelFormat::Colour);
    }
    const auto passColumns = [width](int pass) { return int(PNG_PASS_COLS(width, pass)); };
    const auto passRows = [](int pass, int above) { return int(PNG_PASS_ROWS(above, pass)); };
    // libpng skips a pass that has no pixels, as a tiny picture's later ones.
    int lastPass = 6;
    while (passColumns(lastPass) == 0 || passRows(lastPass, height) == 0) --lastPass;
    for (int pass = 0; pass <= lastPass; ++pass) {
        if (passColumns(pass) == 0 || passRows(pass, height) == 0) continue;
        const int wanted = passRows(pass, rows);
        const int first = PNG_PASS_START_COL(pass);
        const int step = PNG_PASS_COL_OFFSET(pass);
        for (int r = 0; r < (pass == lastPass ? wanted : passRows(pass, height)); ++r) {
            if (!decoder.Row(row.data())) return decoder.Failed("image data");
            if (r >= wanted) continue;
            const int y = static_cast<int>(PNG_ROW_FROM_PASS_ROW(r, pass));
            if (gathered.IsEmpty()) {
                sink.SpacedPixels(y, first, step, passColumns(pass), row.data());
                continue;
            }
            std::uint32_t* out = gathered.Row(y);
            for (int i = 0, x = first; i < passColumns(pass) && x < gathered.Width();
                 ++i, x += step) {
                out[x] = row[static_cast<std::size_t>(i)];
            }
        }
    }
    for (int y = 0; y < gathered.Height(); ++y) sink.Row(y, gathered.Row(y));
    return Done();
}

Status DecodeRows(const FileInput& file, int columns, int rows, RowSink& sink, PngHeader& header) {
    PngDecoder decoder(file);
    if (Status started = decoder.Start(header); !started) return started;
    const int width = static_cast<int>(header.width);
    const int height = static_cast<int>(header.height);
    rows = std::clamp(rows, 0, height);
    sink.Start(width, height);
    if (rows == 0) return Done();
    if (header.interlaced) {
        if (Status read = ReadPasses(decoder, width, height, columns, rows, sink); !read)
            return read;
    } else {
        std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
        for (int y = 0; y < rows; ++y) {
            if (!decoder.Row(row.data())) return decoder.Failed("image data");
            sink.Row(y, row.data());
        }
    }
    if (rows == height && !decoder.End()) return decoder.Failed("image data");
    return Done();
}

// The whole picture, taking an interlaced one's passes where they belong.
class BitmapSink final : public RowSink {
  public:
    void Start(int width, int height) override {
        m_bitmap = Bitmap(width, height, PixelFormat::Colour);
    }
    void Row(int y, const std::uint32_t* pixels) override {
        std::copy_n(pixels, m_bitmap.Width(), m_bitmap.Row(y));
    }
    bool TakesSpacedPixels() const override { return true; }
    void SpacedPixels(int y, int first, int step, int count, const std::uint32_t* pixels) override {
        std::uint32_t* out = m_bitmap.Row(y);
        for (int i = 0; i < count; ++i) out[first + i * step] = pixels[i];
    }
    Bitmap Take(bool hasAlpha) {
        m_bitmap.SetHasAlpha(hasAlpha);
        return std::move(m_bitmap);
    }

  private:
    Bitmap m_bitmap;
};

}  // namespace

Result<Bitmap> DecodePng(const FileInput& file) {
    BitmapSink sink;
    PngHeader header;
    const int all = kMaxPictureSide;
    if (Status decoded = DecodeRows(file, all, all, sink, header); !decoded)
        return decoded.Failure();
    return sink.Take(header.hasAlpha);
}

Result<Bitmap> DecodePng(std::span<const std::uint8_t> file) {
    return DecodePng(FileInput(file));
}

Result<PngLayout> ReadPngLayout(const FileInput& file) {
    PngDecoder decoder(file);
    PngHeader header;
    if (Status started = decoder.Start(header); !started) return started.Failure();
    return PngLayout{static_cast<int>(header.width), static_cast<int>(header.height),
                     header.hasAlpha, header.interlaced};
}

Status DecodePngRows(const FileInput& file, int columns, int rows, RowSink& sink) {
    PngHeader header;
    return DecodeRows(file, columns, rows, sink, header);
}

}  // namespace platform::codecs
