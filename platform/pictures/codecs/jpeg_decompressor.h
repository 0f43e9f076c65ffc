#pragma once

// The libjpeg decompressor as every JPEG decoder of this folder sets it up: reading from a
// FileInput (memory, or a file a piece at a time), fatal errors trapped, warnings kept quiet,
// and our limits applied.
//
// libjpeg reports a fatal error by calling error_exit, which must not return. Ours longjmps
// back to the jump point of the function that called into libjpeg. So every function that
// calls libjpeg first does `if (setjmp(session.trap.jump)) return <failure>;`, and creates no
// C++ object with a destructor in that same function: the jump would skip it.

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>
// clang-format on

#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/file_input.h"
#include "platform/pictures/codecs/limits.h"

namespace platform::codecs {

// A progressive file may hold any number of scans, each a full pass over the coefficients;
// a few hundred is far beyond what encoders write and keeps a hostile file from spinning.
inline constexpr int kMaxJpegScans = 500;

// What libjpeg may allocate for itself: no more than a picture at the picture limit takes as
// a bitmap. It matters for a progressive file, whose coefficients are all held while it is
// read (2 bytes a sample): a file that would need more is refused, however few bytes it has.
inline constexpr long kJpegMemoryLimit = static_cast<long>(kMaxPicturePixels * 4);

// Plain C data only, so that a longjmp over it is harmless.
struct JpegErrorTrap {
    jpeg_error_mgr manager;  // first: libjpeg's pointer to it is a pointer to the trap
    std::jmp_buf jump;
    bool ranOutOfData;  // the data ended and libjpeg went on with a made-up end marker
    bool tooManyScans;
    int warnings;
};

// libjpeg's data source over a FileInput. Past the end it behaves as libjpeg's own memory
// source does: a warning and a made-up end marker.
struct JpegFileSource {
    jpeg_source_mgr manager;  // first: libjpeg's pointer to it is a pointer to this
    const FileInput* input;
    std::uint64_t position;  // where the next read starts
    JOCTET* buffer;          // a chunk of a file on disk, from libjpeg's pool
};

struct JpegSession {
    jpeg_decompress_struct info;
    JpegErrorTrap trap;
    jpeg_progress_mgr progress;
    JpegFileSource source;
    std::uint64_t headerBytes;  // bytes of the file taken by everything up to the first scan
};

// Creates the decompressor on `file` (which must outlive the session) and reads the header up
// to the first scan. Checks the picture size against our limit before anything is decoded.
// The session must be zero-initialised (`JpegSession session{};`) and closed afterwards even
// when this fails.
std::optional<CodecFailure> OpenJpeg(JpegSession& session, const FileInput& file);

// Releases everything libjpeg holds. Safe on a session that never opened.
void CloseJpeg(JpegSession& session);

// The failure that made libjpeg jump back.
CodecFailure JpegFailure(JpegSession& session);

}  // namespace platform::codecs
