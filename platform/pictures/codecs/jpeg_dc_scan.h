#pragma once

// One DC scan of a progressive JPEG, decoded an MCU row at a time: a first scan's differences,
// or a refinement's one bit a block, Huffman or arithmetic coded. Damaged data is treated as
// libjpeg treats it. Huffman codes: a bad code is a zero difference, and from where the data
// runs out (at a marker or the end of the file) the rest of the restart interval keeps its
// zeros. Arithmetic coding: past the data the decoder reads zeros, and a difference too large
// for 16 bits leaves the rest of the restart interval as it was.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/pictures/codecs/codec_result.h"
#include "platform/pictures/codecs/file_input.h"
#include "platform/pictures/codecs/jpeg_dc_arithmetic.h"
#include "platform/pictures/codecs/jpeg_dc_plan.h"

namespace platform::codecs {

// The DC coefficients of one component over one MCU row of the frame: its block rows there
// (v of them), each as wide as the frame's MCUs make it.
struct JpegDcRow {
    int columns = 0;
    int rows = 0;
    std::vector<std::int16_t> dc;  // rows x columns
    std::int16_t& At(int column, int row) {
        return dc[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                  static_cast<std::size_t>(column)];
    }
};

class JpegDcScanDecoder {
  public:
    JpegDcScanDecoder(const FileInput& file, const JpegDcPlan& plan, const JpegDcScan& scan);
    ~JpegDcScanDecoder();
    JpegDcScanDecoder(JpegDcScanDecoder&&) noexcept;

    // Decodes the scan's blocks of MCU row `row` into `rows` (one per frame component); the
    // rows must be decoded in order, from 0.
    Status DecodeRow(int row, std::vector<JpegDcRow>& rows);

    // Whether every MCU row after the next writes what the next one writes: the scan's data is
    // spent and what is left of it can change nothing. Arithmetic coding only (Huffman data
    // reaches no further than its bits, see JpegRowsReached).
    bool Settled() const;

  private:
    class Bits;
    Status DecodeBlocks(int row, std::vector<JpegDcRow>& rows);
    std::size_t BlocksOf(std::size_t i) const;
    Status DecodeMcu(std::vector<std::int16_t*>& blocks);
    void DecodeArithmeticMcu(std::vector<std::int16_t*>& blocks);
    void Restart();

    const JpegDcPlan& m_plan;
    const JpegDcScan& m_scan;
    std::unique_ptr<Bits> m_bits;
    std::vector<int> m_lastDc;  // per component of the scan
    int m_restartsToGo = 0;
    int m_nextRestart = 0;
    bool m_outOfData = false;
    std::vector<std::int16_t*> m_blocks;
    std::optional<JpegDcArithmetic> m_arithmetic;  // for arithmetic-coded data
};

}  // namespace platform::codecs
