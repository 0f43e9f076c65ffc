#include "platform/pictures/codecs/jpeg_codec.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <vector>

#include "platform/pictures/codecs/jpeg_cmyk.h"
#include "platform/pictures/codecs/jpeg_dc_eighth.h"
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

bool IsCmyk(const jpeg_decompress_struct& info) {
    return info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
}

// libjpeg turns YCCK into CMYK; CMYK into RGB is ours.
void ChooseOutput(jpeg_decompress_struct& info) {
    info.out_color_space = IsCmyk(info) ? JCS_CMYK : kPixelLayout;
}

// A row of C, M, Y, K bytes (four per pixel, like RGBA) turned into colour in place.
void CmykToRgb(std::uint32_t* row, int width, bool inverted) {
    for (int x = 0; x < width; ++x) {
        std::uint8_t stored[4];
        std::memcpy(stored, &row[x], 4);
        row[x] = CmykPixel(stored, inverted);
    }
}

// The functions below call libjpeg and so set the jump first (see jpeg_decompressor.h).

bool StartDecompress(JpegSession& session) {
    if (setjmp(session.trap.jump)) return false;
    jpeg_start_decompress(&session.info);
    return true;
}

bool ReadRowsInto(JpegSession& session, Bitmap& pixels) {
    if (setjmp(session.trap.jump)) return false;
    jpeg_decompress_struct& info = session.info;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row =
            reinterpret_cast<JSAMPROW>(pixels.Row(static_cast<int>(info.output_scanline)));
        jpeg_read_scanlines(&info, &row, 1);
    }
    return true;
}

// Decodes only the columns [0, width) of every row; libjpeg may widen that to whole blocks.
bool CropColumns(JpegSession& session, JDIMENSION& width) {
    if (setjmp(session.trap.jump)) return false;
    JDIMENSION left = 0;
    jpeg_crop_scanline(&session.info, &left, &width);
    return left == 0;
}

bool ReduceTo(JpegSession& session, int eighths) {
    if (setjmp(session.trap.jump)) return false;
    session.info.scale_num = static_cast<unsigned>(eighths);
    session.info.scale_denom = 8;
    jpeg_calc_output_dimensions(&session.info);
    return true;
}

// Hands `sink` the first `columns` pixels of each row up to `rows`; `buffer` holds a whole
// decoded row.
bool ReadRowsTo(JpegSession& session, int columns, int rows, std::uint32_t* buffer, bool cmyk,
                RowSink& sink) {
    if (setjmp(session.trap.jump)) return false;
    jpeg_decompress_struct& info = session.info;
    while (info.output_scanline < static_cast<JDIMENSION>(rows)) {
        const int y = static_cast<int>(info.output_scanline);
        JSAMPROW row = reinterpret_cast<JSAMPROW>(buffer);
        jpeg_read_scanlines(&info, &row, 1);
        if (cmyk) CmykToRgb(buffer, columns, info.saw_Adobe_marker);
        sink.Row(y, buffer);
    }
    return true;
}

// A file that ends right after its header has no picture to show. (One cut short later is
// kept: libjpeg fills what is missing with grey and warns, and viewers show it so.)
Status CheckScanData(const JpegSession& session, const FileInput& file) {
    if (session.headerBytes >= file.Size()) {
        return Fail(CodecError::Truncated, "no scan data after the header");
    }
    return Done();
}

// Before starting: libjpeg then allocates the coefficients of the frame it was given.
Status CheckFrameHeld(const JpegSession& session) {
    if (session.source.reading.frameHeight != 0) return Done();
    return CheckJpegWholeFrame(*session.source.structure, session.source.input->Size());
}

// Starts decoding an opened file at natural size, as DecodeJpeg does.
Status StartOpened(JpegSession& session) {
    jpeg_decompress_struct& info = session.info;
    ChooseOutput(info);
    if (Status checked = CheckFrameHeld(session); !checked) return checked;
    if (!StartDecompress(session)) return JpegFailure(session);
    if (info.output_width != info.image_width || info.output_height != info.image_height ||
        info.output_components != 4) {
        return Fail(CodecError::Unsupported, "unexpected output layout");
    }
    return Done();
}

Status StartAtNaturalSize(JpegSession& session, const FileInput& file,
                          const JpegStructure& structure, JpegReading reading = {}) {
    if (Status opened = OpenJpeg(session, file, structure, reading); !opened) return opened;
    return StartOpened(session);
}

// The frame height that has libjpeg decode the first `rows` rows exactly as in the whole
// frame, or 0 when that is the whole frame. libjpeg treats the bottom of the frame as the
// picture's edge in two ways: the colour samples of the last rows are smoothed up to full size
// without a row below them (one MCU row), and in a file whose coefficients are not all
// refined, each block is smoothed with the two block rows below it. Three MCU rows past the
// rows asked for keep both out of them.
int ShortFrameHeight(const JpegStructure& structure, int rows) {
    const long long mcuRow = JpegMcuRowHeight(structure);
    const long long height = ((std::max(rows, 1) + mcuRow - 1) / mcuRow + 3) * mcuRow;
    return height < structure.height ? static_cast<int>(height) : 0;
}

Status RowBuffer(std::vector<std::uint32_t>& buffer, JDIMENSION width) {
    try {
        buffer.resize(width);
    } catch (const std::bad_alloc&) {
        return Fail(CodecError::LimitExceeded, "no memory for a row");
    }
    return Done();
}

}  // namespace

Result<Bitmap> DecodeJpeg(std::span<const std::uint8_t> file) {
    return DecodeJpeg(FileInput(file));
}

Result<Bitmap> DecodeJpeg(const FileInput& file) {
    const JpegStructure structure = WalkJpeg(file);
    JpegSession session{};
    SessionCloser closer{session};
    if (Status started = StartAtNaturalSize(session, file, structure); !started)
        return started.Failure();
    const jpeg_decompress_struct& info = session.info;

    Bitmap pixels;
    try {
        pixels = Bitmap(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                        PixelFormat::Colour);
    } catch (const std::bad_alloc&) {
        return Fail(CodecError::LimitExceeded, "no memory for the pixels");
    }
    if (!ReadRowsInto(session, pixels)) return JpegFailure(session);
    if (session.trap.ranOutOfData) {
        if (Status checked = CheckScanData(session, file); !checked) return checked.Failure();
    }

    if (IsCmyk(info)) {
        for (int y = 0; y < pixels.Height(); ++y)
            CmykToRgb(pixels.Row(y), pixels.Width(), info.saw_Adobe_marker);
    }
    return pixels;
}

Result<JpegLayout> ReadJpegLayout(const FileInput& file) {
    JpegLayout layout{.structure = WalkJpeg(file)};
    JpegSession session{};
    SessionCloser closer{session};
    if (Status opened = OpenJpeg(session, file, layout.structure); !opened) return opened.Failure();
    layout.width = static_cast<int>(session.info.image_width);
    layout.height = static_cast<int>(session.info.image_height);
    layout.multiScan = jpeg_has_multiple_scans(&session.info) == TRUE;
    if (layout.multiScan) return layout;

    // Starting a single-scan file decodes nothing yet but checks all that decoding checks
    // before the first row: tables, sampling, the output layout.
    if (Status started = StartOpened(session); !started) return started.Failure();
    if (Status checked = CheckScanData(session, file); !checked) return checked.Failure();
    return layout;
}

Status DecodeJpegRows(const FileInput& file, const JpegStructure& structure, int columns, int rows,
                      RowSink& sink) {
    // A single-scan file is decoded row by row as it is read, and stops at the last row.
    JpegReading reading;
    if (structure.multiScan) reading.frameHeight = ShortFrameHeight(structure, rows);
    JpegSession session{};
    SessionCloser closer{session};
    if (Status started = StartAtNaturalSize(session, file, structure, reading); !started)
        return started;
    if (Status checked = CheckScanData(session, file); !checked) return checked;
    jpeg_decompress_struct& info = session.info;
    const int height =
        reading.frameHeight != 0 ? structure.height : static_cast<int>(info.image_height);

    const auto width =
        static_cast<JDIMENSION>(std::clamp<std::int64_t>(columns, 0, info.output_width));
    const auto shown = static_cast<int>(std::clamp<std::int64_t>(rows, 0, info.output_height));
    if (width < info.output_width) {
        // One column more than shown: libjpeg treats the last decoded column as the picture's
        // edge when it smooths the colour samples up to full size, which would change the
        // colours of the last shown column by a few levels.
        JDIMENSION decoded = width + 1;
        if (!CropColumns(session, decoded)) return JpegFailure(session);
    }
    std::vector<std::uint32_t> buffer;
    if (Status allocated = RowBuffer(buffer, info.output_width); !allocated) return allocated;
    sink.Start(static_cast<int>(width), height);
    if (!ReadRowsTo(session, static_cast<int>(width), shown, buffer.data(), IsCmyk(info), sink))
        return JpegFailure(session);
    return Done();
}

int JpegReducedSide(int natural, int eighths) {
    // As libjpeg computes it: the scaled size rounded up.
    return static_cast<int>((static_cast<long long>(natural) * eighths + 7) / 8);
}

int JpegReducedEighths(int width, int height, int minWidth, int minHeight) {
    const int wantWidth = std::clamp(minWidth, 1, std::max(width, 1));
    const int wantHeight = std::clamp(minHeight, 1, std::max(height, 1));
    return JpegReducedSide(width, 1) >= wantWidth && JpegReducedSide(height, 1) >= wantHeight ? 1
                                                                                              : 8;
}

Status DecodeJpegReduced(const FileInput& file, const JpegStructure& structure, int eighths,
                         RowSink& sink) {
    eighths = std::clamp(eighths, 1, 8);
    // The frame ends where the data read can reach no further: below, every block is zeros,
    // and every row the same as the last one decoded.
    const bool dcScansOnly = structure.progressive && eighths == 1;
    JpegReading reading;
    if (structure.multiScan)
        reading.frameHeight = ShortFrameHeight(structure, JpegRowsReached(structure, dcScansOnly));
    // At an eighth each block is its DC value alone, so a progressive file is read from its DC
    // scans by our own decoder a row at a time, where libjpeg would hold the coefficients of
    // every row.
    if (dcScansOnly) return DecodeJpegDcEighth(file, structure, reading.frameHeight, sink);
    JpegSession session{};
    SessionCloser closer{session};
    if (Status opened = OpenJpeg(session, file, structure, reading); !opened) return opened;
    jpeg_decompress_struct& info = session.info;
    ChooseOutput(info);
    if (!ReduceTo(session, eighths)) return JpegFailure(session);
    if (Status checked = CheckFrameHeld(session); !checked) return checked;
    if (!StartDecompress(session)) return JpegFailure(session);
    // The natural sides were checked against the picture limit on opening: they fit an int.
    const int naturalWidth = static_cast<int>(info.image_width);
    const int naturalHeight = static_cast<int>(info.image_height);
    if (info.output_width != static_cast<JDIMENSION>(JpegReducedSide(naturalWidth, eighths)) ||
        info.output_height != static_cast<JDIMENSION>(JpegReducedSide(naturalHeight, eighths)) ||
        info.output_components != 4) {
        return Fail(CodecError::Unsupported, "unexpected output layout");
    }
    if (Status checked = CheckScanData(session, file); !checked) return checked;

    const int height = reading.frameHeight != 0 ? JpegReducedSide(structure.height, eighths)
                                                : static_cast<int>(info.output_height);
    std::vector<std::uint32_t> buffer;
    if (Status allocated = RowBuffer(buffer, info.output_width); !allocated) return allocated;
    sink.Start(static_cast<int>(info.output_width), height);
    if (!ReadRowsTo(session, static_cast<int>(info.output_width),
                    static_cast<int>(info.output_height), buffer.data(), IsCmyk(info), sink))
        return JpegFailure(session);
    for (int y = static_cast<int>(info.output_height); y < height; ++y) sink.Row(y, buffer.data());
    return Done();
}

}  // namespace platform::codecs
