#include "platform/pictures/codecs/jpeg_codec.h"

#include <bit>
#include <new>

#include "platform/pictures/codecs/jpeg_decompressor.h"

namespace platform::codecs {

namespace {

// libjpeg writes R, G, B, 255 per pixel; in memory that is our 0xAABBGGRR on a little-endian
// machine, so rows go straight into the bitmap.
constexpr J_COLOR_SPACE kPixelLayout =
    std::endian::native == std::endian::little ? JCS_EXT_RGBA : JCS_EXT_ABGR;

struct SessionCloser {
    JpegSession& session;
    ~SessionCloser() { CloseJpeg(session); }
};

// The two functions below call libjpeg and so set the jump first (see jpeg_decompressor.h).

bool StartDecompress(JpegSession& session) {
    if (setjmp(session.trap.jump)) return false;
    jpeg_start_decompress(&session.info);
    return true;
}

bool ReadRows(JpegSession& session, Bitmap& pixels) {
    if (setjmp(session.trap.jump)) return false;
    jpeg_decompress_struct& info = session.info;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row =
            reinterpret_cast<JSAMPROW>(pixels.Row(static_cast<int>(info.output_scanline)));
        jpeg_read_scanlines(&info, &row, 1);
    }
    return true;
}

// A row of C, M, Y, K bytes (four per pixel, like RGBA) turned into colour in place. Adobe's
// files store the inks inverted (255 = no ink) and say so by their APP14 marker; libjpeg hands
// the bytes over as stored. Without the marker the bytes are plain ink amounts.
void CmykToRgb(std::uint32_t* row, int width, bool inverted) {
    for (int x = 0; x < width; ++x) {
        const std::uint32_t p = row[x];
        const auto* stored = reinterpret_cast<const std::uint8_t*>(&p);
        std::uint32_t light[4];  // 255 - ink: how much of each primary is left
        for (int i = 0; i < 4; ++i) light[i] = inverted ? stored[i] : 255u - stored[i];
        const std::uint32_t k = light[3];
        const std::uint32_t r = (light[0] * k + 127) / 255;
        const std::uint32_t g = (light[1] * k + 127) / 255;
        const std::uint32_t b = (light[2] * k + 127) / 255;
        row[x] = 0xFF000000u | (b << 16) | (g << 8) | r;
    }
}

}  // namespace

Result<Bitmap> DecodeJpeg(std::span<const std::uint8_t> file) {
    JpegSession session{};
    SessionCloser closer{session};
    if (auto failure = OpenJpeg(session, file)) return std::move(*failure);

    jpeg_decompress_struct& info = session.info;
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    // libjpeg turns YCCK into CMYK; CMYK into RGB is ours.
    info.out_color_space = cmyk ? JCS_CMYK : kPixelLayout;
    if (!StartDecompress(session)) return JpegFailure(session);
    if (info.output_width != info.image_width || info.output_height != info.image_height ||
        info.output_components != 4) {
        return Fail(CodecError::Unsupported, "unexpected output layout");
    }

    Bitmap pixels;
    try {
        pixels = Bitmap(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                        PixelFormat::Colour);
    } catch (const std::bad_alloc&) {
        return Fail(CodecError::LimitExceeded, "no memory for the pixels");
    }
    if (!ReadRows(session, pixels)) return JpegFailure(session);

    // A file cut short: libjpeg fills what is missing with grey and warns. We keep that, as
    // viewers do, when the header was whole and some scan data followed it; a file that ends
    // right after its header has no picture to show.
    if (session.trap.ranOutOfData && session.headerBytes >= file.size()) {
        return Fail(CodecError::Truncated, "no scan data after the header");
    }

    if (cmyk) {
        for (int y = 0; y < pixels.Height(); ++y)
            CmykToRgb(pixels.Row(y), pixels.Width(), info.saw_Adobe_marker);
    }
    return pixels;
}

}  // namespace platform::codecs
