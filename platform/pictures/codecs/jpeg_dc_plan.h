#pragma once

// What a decode of a progressive JPEG's DC values needs from its markers: the frame's
// components with their sampling and the DC step of their quantisation tables, the colour
// space as libjpeg settles it, and each DC scan with its Huffman tables (or its arithmetic
// conditioning), successive approximation and restart interval. Read the way libjpeg reads the same
// markers; a file it would refuse, and a few that only a hostile encoder writes, are refused with
// the reason.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/file_input.h"
#include "platform/pictures/codecs/jpeg_structure.h"

namespace platform::codecs {

// A Huffman table of DC differences, ready to decode bit by bit as libjpeg's slow path does.
struct JpegDcHuffman {
    std::array<std::int32_t, 18> maxCode{};     // per code length; -1 where there is none
    std::array<std::int32_t, 17> valueShift{};  // index of a code's value: code + shift
    std::array<std::uint8_t, 256> values{};
    // Per 8 bits ahead: the length of the code they start with and its value (length << 8 |
    // value), or 0 when that code is longer.
    std::array<std::uint16_t, 256> first8{};
};

enum class JpegColours { Grey, YCbCr, Rgb, Cmyk, Ycck };

struct JpegDcComponent {
    int h = 1;
    int v = 1;
    // The quantisation step of the DC coefficient, as libjpeg's IDCT multiplies by it (a
    // 16-bit value), taken when the component's first DC scan starts; 0 when it has none.
    std::int16_t dcStep = 0;
};

// How an arithmetic-coded first DC scan sorts the differences it has decoded: below 2^L / 2
// they count as zero, above 2^U / 2 as large (F.1.4.4.1.2).
struct JpegDcConditioning {
    int lower = 0;
    int upper = 1;
};

struct JpegDcScan {
    std::vector<int> components;  // indices into the frame's, in the scan's order
    // Per component of a first scan: an index into JpegDcPlan::tables, or of an arithmetic-coded
    // one its table number (0 to 15), which picks its statistics and its conditioning.
    std::vector<int> tables;
    std::vector<JpegDcConditioning> conditioning;  // per component of an arithmetic first scan
    int ah = 0;  // successive approximation: the bit refined, and the shift
    int al = 0;
    int restartInterval = 0;  // in MCUs (in blocks for a scan of one component)
    std::uint64_t dataStart = 0;
    std::uint64_t dataEnd = 0;  // the marker after its data, or the end of the file
};

struct JpegDcPlan {
    int width = 0;
    int height = 0;
    int maxH = 1;
    int maxV = 1;
    std::vector<JpegDcComponent> components;
    JpegColours colours = JpegColours::YCbCr;
    bool adobe = false;  // an Adobe APP14 marker was seen: CMYK inks are stored inverted
    bool arithmetic = false;
    std::vector<JpegDcHuffman> tables;
    std::vector<JpegDcScan> scans;  // the DC scans, in the file's order
};

// Reads the markers of a progressive file walked into `structure`.
Result<JpegDcPlan> ReadJpegDcPlan(const FileInput& file, const JpegStructure& structure);

}  // namespace platform::codecs
