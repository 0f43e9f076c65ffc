#include "platform/pictures/codecs/jpeg_decompressor.h"

#include <jerror.h>

#include <string>

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

void LimitScans(j_common_ptr info) {
    if (!info->is_decompressor) return;
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxJpegScans) {
        TrapOf(info).tooManyScans = true;
        JumpBack(info);
    }
}

}  // namespace

std::optional<CodecFailure> OpenJpeg(JpegSession& session, std::span<const std::uint8_t> file) {
    jpeg_decompress_struct& info = session.info;
    info.err = jpeg_std_error(&session.trap.manager);
    session.trap.manager.error_exit = &JumpBack;
    session.trap.manager.emit_message = &KeepQuiet;
    session.trap.manager.output_message = &PrintNothing;
    if (file.empty()) return Fail(CodecError::Truncated, "empty file");

    if (setjmp(session.trap.jump)) return JpegFailure(session);
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kJpegMemoryLimit;
    session.progress.progress_monitor = &LimitScans;
    info.progress = &session.progress;
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);

    // The header itself cut short: libjpeg read made-up end markers as header bytes.
    if (session.trap.ranOutOfData)
        return Fail(CodecError::Truncated, "the file ends inside the header");
    session.headerBytes = file.size() - info.src->bytes_in_buffer;
    if (auto failure = CheckDimensions(info.image_width, info.image_height)) return failure;
    return std::nullopt;
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
