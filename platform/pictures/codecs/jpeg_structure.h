#pragma once

// Where a JPEG file's frame and scans lie, found from its markers alone, without decoding:
// what a decode of only the first rows or only the DC values needs to know, and what our
// limits count before any work is done.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/file_input.h"

namespace platform::codecs {

// A progressive file may hold any number of scans, each a full pass over the coefficients;
// a few hundred is far beyond what encoders write and keeps a hostile file from spinning.
inline constexpr int kMaxJpegScans = 500;

// The work of a whole decode: every scan visits each block (8 x 8 samples of one component)
// of the components it codes, and costs time there even when it holds no data. 2^27 visits
// are about a second's work on scans without data; libjpeg's own progressive script makes an
// eighth of them in a picture at the picture limit with its colour halved both ways.
inline constexpr std::uint64_t kMaxJpegScanBlocks = std::uint64_t{1} << 27;

// What a decode of a file with several scans holds while it reads them: every coefficient of
// the whole picture, 2 bytes a sample in whole blocks. No more than a picture at the picture
// limit takes as a bitmap.
inline constexpr std::uint64_t kMaxJpegCoefficientBytes = std::uint64_t{512} << 20;

// Huffman data reaches a block for every bit at most (see JpegRowsReached), so what a decode
// holds grows with the file: 128 bytes of coefficients a block, 1024 a byte. Arithmetic coding
// may code any number of blocks in a few bytes; a decode that holds a whole frame of it is
// allowed the same proportion to the file, and never less than this floor, which holds the
// colour picture of a 10-megapixel camera.
inline constexpr std::uint64_t kCoefficientBytesPerFileByte = 1024;
inline constexpr std::uint64_t kMinArithmeticCoefficientBytes = std::uint64_t{32} << 20;

// An arithmetic-coded file's DC scans are decoded for every block of the frame, however few
// bytes describe them: past its bytes the coder reads zeros, and they decode as data. Their
// blocks, counted once for each DC scan, are allowed the same proportion to the file as the
// coefficients above, and never less than this floor: well under a second's decoding, and
// more than libjpeg's own progressive script makes of a picture at the picture limit (two DC
// scans of 6.3 million blocks with its colour at full size).
inline constexpr std::uint64_t kMinArithmeticDcBlocks = std::uint64_t{1} << 24;
inline constexpr std::uint64_t kDcBlocksPerFileByte = 1024;

struct JpegFrameComponent {
    int id = 0;
    int h = 1;  // sampling factors, 1 to 4
    int v = 1;
    std::uint64_t columns = 0;           // 8 x 8 blocks of its samples across the frame
    std::uint64_t blocks = 0;            // and in the whole frame
    std::uint64_t coefficientBytes = 0;  // what libjpeg holds of it, in whole MCUs
};

struct JpegScan {
    std::uint64_t start = 0;      // its FF DA marker
    std::uint64_t dataStart = 0;  // the entropy-coded data after the scan header
    std::uint64_t dataEnd = 0;    // the next marker other than a restart marker, or the end
    std::uint64_t blocks = 0;     // the blocks of the components it codes
    std::uint64_t rowBlocks = 0;  // of those, the blocks in one MCU row of the frame
    bool dc = false;              // its spectral selection starts at 0
};

struct JpegStructure {
    bool hasFrame = false;  // a frame header libjpeg accepts as to its sizes and sampling
    bool progressive = false;
    bool arithmetic = false;  // arithmetic coding in place of Huffman codes
    bool multiScan = false;   // progressive, or the first scan codes only some components
    int width = 0;
    int height = 0;
    std::uint64_t heightField = 0;  // offset of the frame header's height, two bytes
    int maxV = 1;                   // the largest vertical sampling factor
    std::vector<JpegFrameComponent> components;
    // Every scan up to the end marker (or the end of the file, or the first marker this walk
    // does not follow); of a single-scan file only the first, whose end is not looked for.
    std::vector<JpegScan> scans;
};

// Never fails: where the file stops making sense the walk stops, and libjpeg, which reads
// the same bytes, gives the reason.
JpegStructure WalkJpeg(const FileInput& file);

// Our limits on the scans, checked before any of them is decoded: their number, their work
// and, for a file with several scans, the coefficients a whole decode holds.
Status CheckJpegWork(const JpegStructure& structure);

// For a decode that holds the coefficients of the whole frame of a file with several scans:
// refused when it is arithmetic-coded and its coefficients are out of proportion to the file.
Status CheckJpegWholeFrame(const JpegStructure& structure, std::uint64_t fileBytes);

// For a decode of the DC scans alone: refused when they are arithmetic-coded and their blocks
// are out of proportion to the file.
Status CheckJpegArithmeticDcWork(const JpegStructure& structure, std::uint64_t fileBytes);

// Rows in a libjpeg iMCU row: what one row of MCUs covers.
int JpegMcuRowHeight(const JpegStructure& structure);

// How many rows from the top the data of the scans read (all, or the DC scans only) can reach
// at most: every block of a scan takes at least one bit of its data, a Huffman code or a DC
// refinement bit. Below them a file whose data ends early, or that claims a larger frame than
// it holds, has nothing but blocks of zeros. Arithmetic coding may code any number of blocks
// in a few bytes, so for it this is the whole frame.
int JpegRowsReached(const JpegStructure& structure, bool dcScansOnly);

}  // namespace platform::codecs
