#include "platform/pictures/codecs/jpeg_decompressor.h"

#include <jerror.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/pictures/codecs/limits.h"

namespace platform::codecs {

namespace {

JpegErrorTrap& TrapOf(j_common_ptr info) {
    return *reinterpret_cast<JpegErrorTrap*>(info->err);
}

[[noreturn]] void JumpBack(j_common_ptr info) {
    std::longjmp(TrapOf(info).jump, 1);
}

// Warnings (corrupt data, extra bytes, premature end) are counted, never printed: a damaged
// file still shows what libjpeg could recover, and stderr is not ours to fill.
void KeepQuiet(j_common_ptr info, int level) {
    if (level >= 0) return;  // trace messages
    JpegErrorTrap& trap = TrapOf(info);
    ++trap.warnings;
    if (trap.manager.msg_code == JWRN_JPEG_EOF) trap.ranOutOfData = true;
}

void PrintNothing(j_common_ptr) {}

// A file on disk is read in pieces of this size; only they are ever held.
constexpr std::size_t kPieceBytes = 64 * 1024;

JpegFileSource& SourceOf(j_decompress_ptr info) {
    return *reinterpret_cast<JpegFileSource*>(info->src);
}

// The file offset of the next byte libjpeg will read.
std::uint64_t ReadingAt(const JpegFileSource& source) {
    return source.pieceStart + (source.pieceLength - source.manager.bytes_in_buffer);
}

// Where the bytes that follow `position` without a break end: at the frame's height, or the
// end of the file.
std::uint64_t NextPiece(const JpegFileSource& source) {
    std::uint64_t end = source.input->Size();
    if (source.reading.frameHeight != 0 && source.position < source.structure->heightField)
        end = std::min(end, source.structure->heightField);
    return std::max(end, source.position);
}

void StartReading(j_decompress_ptr) {}
void StopReading(j_decompress_ptr) {}

boolean FillBuffer(j_decompress_ptr info) {
    JpegFileSource& source = SourceOf(info);
    const FileInput& input = *source.input;
    const std::uint64_t end = NextPiece(source);
    const std::uint64_t heightField = source.structure->heightField;
    std::size_t got = 0;
    if (source.reading.frameHeight != 0 && source.position >= heightField &&
        source.position < heightField + 2) {
        // The frame's height as libjpeg is to see it, in place of the file's.
        const auto at = static_cast<std::size_t>(source.position - heightField);
        source.manager.next_input_byte = source.frameHeight + at;
        got = 2 - at;
    } else if (source.position < end) {
        if (!input.Memory().empty()) {
            // Bytes in memory are handed over whole, as libjpeg's memory source does.
            source.manager.next_input_byte = input.Memory().data() + source.position;
            got = static_cast<std::size_t>(end - source.position);
        } else {
            const std::size_t wanted = static_cast<std::size_t>(
                std::min<std::uint64_t>(kPieceBytes, end - source.position));
            got = input.ReadAt(source.position, std::span(source.buffer, wanted));
            source.manager.next_input_byte = source.buffer;
        }
    }
    source.pieceStart = source.position;
    source.position += got;
    if (got == 0) {
        // The data has ended: a warning and an end marker, which libjpeg reads as the end of
        // the picture and fills what is missing with grey.
        static const JOCTET kEnd[2] = {0xFF, JPEG_EOI};
        WARNMS(info, JWRN_JPEG_EOF);
        source.manager.next_input_byte = kEnd;
        source.pieceStart = input.Size();
        got = 2;
    }
    source.pieceLength = got;
    source.manager.bytes_in_buffer = got;
    return TRUE;
}

void SkipBytes(j_decompress_ptr info, long count) {
    jpeg_source_mgr& manager = SourceOf(info).manager;
    if (count <= 0) return;
    while (count > static_cast<long>(manager.bytes_in_buffer)) {
        count -= static_cast<long>(manager.bytes_in_buffer);
        FillBuffer(info);
    }
    manager.next_input_byte += count;
    manager.bytes_in_buffer -= static_cast<std::size_t>(count);
}

bool IsRestartMarker(int code) {
    return code >= JPEG_RST0 && code <= JPEG_RST0 + 7;
}

// Once libjpeg has decoded a short frame's blocks of a scan, the rest of the scan's data is
// for rows it does not have: the reading moves straight to the scan's end, where libjpeg
// would otherwise look for the next marker byte by byte (restart markers inside are passed
// over either way).
void PassOverRestOfScan(j_decompress_ptr info) {
    JpegFileSource& source = SourceOf(info);
    if (source.reading.frameHeight == 0) return;
    const int number = info->input_scan_number;
    if (info->input_iMCU_row < info->total_iMCU_rows || number == source.passedScan) return;
    source.passedScan = number;
    const std::vector<JpegScan>& scans = source.structure->scans;
    if (number < 1 || static_cast<std::size_t>(number) > scans.size()) return;
    // libjpeg stops reading at a marker; past one other than a restart it is at the next.
    if (info->unread_marker != 0 && !IsRestartMarker(info->unread_marker)) return;
    const JpegScan& scan = scans[static_cast<std::size_t>(number - 1)];
    const std::uint64_t at = ReadingAt(source);
    if (at < scan.dataStart || at >= scan.dataEnd) return;  // not where the walk saw it
    info->unread_marker = 0;
    source.position = scan.dataEnd;
    source.manager.bytes_in_buffer = 0;
    source.pieceStart = scan.dataEnd;
    source.pieceLength = 0;
}

// Called between the rows and scans libjpeg reads.
void WatchProgress(j_common_ptr common) {
    if (!common->is_decompressor) return;
    const auto info = reinterpret_cast<j_decompress_ptr>(common);
    if (info->input_scan_number > kMaxJpegScans) {
        TrapOf(common).tooManyScans = true;
        JumpBack(common);
    }
    PassOverRestOfScan(info);
}

}  // namespace

Status OpenJpeg(JpegSession& session, const FileInput& file, const JpegStructure& structure,
                JpegReading reading) {
    jpeg_decompress_struct& info = session.info;
    info.err = jpeg_std_error(&session.trap.manager);
    session.trap.manager.error_exit = &JumpBack;
    session.trap.manager.emit_message = &KeepQuiet;
    session.trap.manager.output_message = &PrintNothing;
    if (file.Size() == 0) return Fail(CodecError::Truncated, "empty file");
    if (structure.hasFrame) {
        if (Status checked = CheckDimensions(structure.width, structure.height); !checked)
            return checked;
    }
    if (Status checked = CheckJpegWork(structure); !checked) return checked;
    if (!structure.hasFrame || structure.scans.empty()) reading = {};  // nothing to go by

    if (setjmp(session.trap.jump)) return JpegFailure(session);
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kJpegMemoryLimit;
    session.progress.progress_monitor = &WatchProgress;
    info.progress = &session.progress;
    JpegFileSource& source = session.source;
    source.input = &file;
    source.structure = &structure;
    source.reading = reading;
    source.frameHeight[0] = static_cast<JOCTET>(reading.frameHeight >> 8);
    source.frameHeight[1] = static_cast<JOCTET>(reading.frameHeight & 0xFF);
    source.position = 0;
    if (file.Memory().empty()) {
        source.buffer = static_cast<JOCTET*>((*info.mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(&info), JPOOL_PERMANENT, kPieceBytes));
    }
    source.manager.init_source = &StartReading;
    source.manager.fill_input_buffer = &FillBuffer;
    source.manager.skip_input_data = &SkipBytes;
    source.manager.resync_to_restart = &jpeg_resync_to_restart;
    source.manager.term_source = &StopReading;
    info.src = &source.manager;
    jpeg_read_header(&info, TRUE);

    // The header itself cut short: libjpeg read made-up end markers as header bytes.
    if (session.trap.ranOutOfData)
        return Fail(CodecError::Truncated, "the file ends inside the header");
    session.headerBytes = ReadingAt(source);
    if (reading.frameHeight != 0 &&
        info.image_height != static_cast<JDIMENSION>(reading.frameHeight))
        return Fail(CodecError::Corrupt, "the frame header is not where it was");
    const std::int64_t height =
        reading.frameHeight != 0 ? std::int64_t{structure.height} : std::int64_t{info.image_height};
    if (Status checked = CheckDimensions(info.image_width, height); !checked) return checked;
    return Done();
}

void CloseJpeg(JpegSession& session) {
    // Destroying never fails and is a no-op on a zeroed, never-created decompressor.
    jpeg_destroy_decompress(&session.info);
}

CodecFailure JpegFailure(JpegSession& session) {
    JpegErrorTrap& trap = session.trap;
    if (trap.tooManyScans) return Fail(CodecError::LimitExceeded, "too many progressive scans");

    char text[JMSG_LENGTH_MAX] = {};
    trap.manager.format_message(reinterpret_cast<j_common_ptr>(&session.info), text);
    std::string detail(text);
    // Past the end of the data libjpeg reads made-up end markers, so what it then complains
    // about is a symptom; the cause is the missing data.
    if (trap.ranOutOfData) return Fail(CodecError::Truncated, std::move(detail));

    switch (trap.manager.msg_code) {
        case JERR_INPUT_EMPTY:
        case JERR_INPUT_EOF:
        case JERR_NO_IMAGE:
            return Fail(CodecError::Truncated, std::move(detail));
        case JERR_NO_SOI:
            return Fail(CodecError::BadSignature, std::move(detail));
        case JERR_EMPTY_IMAGE:
        case JERR_IMAGE_TOO_BIG:
        case JERR_WIDTH_OVERFLOW:
            return Fail(CodecError::BadDimensions, std::move(detail));
        case JERR_OUT_OF_MEMORY:
        case JERR_NO_BACKING_STORE:
            return Fail(CodecError::LimitExceeded, std::move(detail));
        case JERR_BAD_PRECISION:
        case JERR_SOF_UNSUPPORTED:
        case JERR_CONVERSION_NOTIMPL:
        case JERR_NOT_COMPILED:
        case JERR_ARITH_NOTIMPL:
            return Fail(CodecError::Unsupported, std::move(detail));
        case JERR_BAD_LENGTH:
        case JERR_BAD_COMPONENT_ID:
        case JERR_BAD_SAMPLING:
        case JERR_COMPONENT_COUNT:
        case JERR_SOF_DUPLICATE:
        case JERR_SOF_NO_SOS:
        case JERR_SOS_NO_SOF:
        case JERR_DQT_INDEX:
        case JERR_DHT_INDEX:
        case JERR_BAD_DCTSIZE:
            return Fail(CodecError::BadHeader, std::move(detail));
        default:
            return Fail(CodecError::Corrupt, std::move(detail));
    }
}

}  // namespace platform::codecs
