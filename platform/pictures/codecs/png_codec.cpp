#include "platform/pictures/codecs/png_codec.h"

#include <png.h>

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
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t position = 0;
    bool truncated = false;
    char message[128] = {};
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* state = static_cast<ReadState*>(png_get_io_ptr(png));
    if (count > state->size - state->position) {
        state->truncated = true;
        png_error(png, "file ends inside a chunk");
    }
    std::memcpy(out, state->data + state->position, count);
    state->position += count;
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
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    header.width = png_get_image_width(png, info);
    header.height = png_get_image_height(png, info);
    header.rowBytes = png_get_rowbytes(png, info);
    return true;
}

bool ReadRows(png_structp png, png_infop info, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    // Reads the rest so that a damaged end of the compressed stream is noticed.
    png_read_end(png, info);
    return true;
}

std::uint32_t BigEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

// The dimensions from the IHDR chunk, checked against our limit before libpng allocates.
std::optional<CodecFailure> CheckHeaderChunk(std::span<const std::uint8_t> file) {
    // Signature, chunk length, "IHDR", width, height.
    constexpr std::size_t kHeaderEnd = kSignatureBytes + 8 + 8;
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

}  // namespace

Result<Bitmap> DecodePng(std::span<const std::uint8_t> file) {
    if (file.size() < kSignatureBytes || png_sig_cmp(file.data(), 0, kSignatureBytes) != 0) {
        return Fail(CodecError::BadSignature, "not a PNG file");
    }
    if (auto failure = CheckHeaderChunk(file)) return *failure;

    ReadState state;
    state.data = file.data();
    state.size = file.size();
    PngHandles handles(state);
    if (!handles.Ok()) return Fail(CodecError::Corrupt, "libpng could not start");
    png_set_read_fn(handles.Png(), &state, ReadFromMemory);

    const auto failed = [&state](const char* stage) {
        std::string detail = std::string(stage) + ": " + state.message;
        return Fail(state.truncated ? CodecError::Truncated : CodecError::Corrupt, detail);
    };

    PngHeader header;
    if (!ReadHeaderAndSetTransforms(handles.Png(), handles.Info(), header)) return failed("header");
    if (auto failure = CheckDimensions(header.width, header.height)) return *failure;
    if (header.rowBytes != static_cast<std::size_t>(header.width) * 4) {
        return Fail(CodecError::Unsupported, "transforms did not give 8-bit RGBA");
    }

    // Declared before the rows are read, so libpng's longjmp never skips their destructors.
    Bitmap bitmap(static_cast<int>(header.width), static_cast<int>(header.height),
                  PixelFormat::Colour);
    bitmap.SetHasAlpha(header.hasAlpha);
    std::vector<png_bytep> rows(header.height);
    for (png_uint_32 y = 0; y < header.height; ++y) {
        rows[y] = reinterpret_cast<png_bytep>(bitmap.Row(static_cast<int>(y)));
    }
    if (!ReadRows(handles.Png(), handles.Info(), rows.data())) return failed("image data");
    return bitmap;
}

}  // namespace platform::codecs
