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
#include "platform/pictures/codecs/jpeg_structure.h"
#include "platform/pictures/codecs/limits.h"

namespace platform::codecs {

// What libjpeg may allocate for itself: the coefficients our limit lets a file with several
// scans hold (a file that would need more is refused from its header, see CheckJpegWork),
// and room beside them for its rows.
inline constexpr long kJpegMemoryLimit = static_cast<long>(kMaxJpegCoefficientBytes + (64 << 20));

// What libjpeg is given to read of the file.
struct JpegReading {
    // The frame's height as libjpeg is told it; 0 keeps the file's. A shorter frame has
    // libjpeg decode only the first rows of every scan; the rest of each scan is then passed
    // over to its end without being decoded.
    int frameHeight = 0;
};

// Plain C data only, so that a longjmp over it is harmless.
struct JpegErrorTrap {
    jpeg_error_mgr manager;  // first: libjpeg's pointer to it is a pointer to the trap
    std::jmp_buf jump;
    bool ranOutOfData;  // the data ended and libjpeg went on with a made-up end marker
    bool tooManyScans;
    int warnings;
};

// libjpeg's data source over a FileInput, which hands over the bytes `reading` asks for.
// Past the end it behaves as libjpeg's own memory source does: a warning and a made-up end
// marker.
struct JpegFileSource {
    jpeg_source_mgr manager;  // first: libjpeg's pointer to it is a pointer to this
    const FileInput* input;
    const JpegStructure* structure;
    JpegReading reading;
    JOCTET frameHeight[2];     // the two bytes that stand for the frame header's height
    std::uint64_t position;    // where the next piece starts
    std::uint64_t pieceStart;  // the file offset of the piece libjpeg is reading
    std::size_t pieceLength;
    int passedScan;  // the last scan whose rest was passed over
    JOCTET* buffer;  // a piece of a file on disk, from libjpeg's pool
};

struct JpegSession {
    jpeg_decompress_struct info;
    JpegErrorTrap trap;
    jpeg_progress_mgr progress;
    JpegFileSource source;
    std::uint64_t headerBytes;  // bytes of the file taken by everything up to the first scan
};

// Creates the decompressor on `file` and `structure` (its walk, see WalkJpeg; both must
// outlive the session) and reads the header up to the first scan. Checks our limits on the
// picture and its scans before anything is decoded. The session must be zero-initialised
// (`JpegSession session{};`) and closed afterwards even when this fails.
Status OpenJpeg(JpegSession& session, const FileInput& file, const JpegStructure& structure,
                JpegReading reading = {});

// Releases everything libjpeg holds. Safe on a session that never opened.
void CloseJpeg(JpegSession& session);

// The failure that made libjpeg jump back.
CodecFailure JpegFailure(JpegSession& session);

}  // namespace platform::codecs
