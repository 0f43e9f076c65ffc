#pragma once

// The arithmetic-coded side of a progressive JPEG's DC scan, as libjpeg decodes it: a first
// scan's differences with the statistics model of ITU-T T.81 (F.1.4.4.1: each table's 64 bins,
// a context per component set by its last difference and the table's conditioning), or a
// refinement's bits at the fixed probability of one half; the QM coder underneath.
//
// Past the end of its data the coder reads zeros, and libjpeg decodes them as data: a file
// that claims a larger frame than its bytes describe still has a difference for every block.
// Once its data is spent and every bin it goes on to use can only give its more probable
// symbol, each later difference is known without the coder (a cycle of at most five, one per
// context), and is given from that cycle.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/pictures/codecs/jpeg_dc_plan.h"
#include "platform/pictures/codecs/jpeg_qm_decoder.h"

namespace platform::codecs {

// Where an arithmetic-coded scan's bytes come from.
class JpegArithmeticBytes {
  public:
    virtual int Next() = 0;          // the next data byte, or 0 once a marker has stopped the data
    virtual bool Spent() const = 0;  // a marker has stopped the data

  protected:
    ~JpegArithmeticBytes() = default;
};

class JpegDcArithmetic {
  public:
    JpegDcArithmetic(const JpegDcScan& scan, JpegArithmeticBytes& bytes);

    // At the scan's start and at each restart: fresh statistics, contexts and coder.
    void Restart();

    // A first scan's next difference for its component `component`; nothing once a difference
    // too large for 16 bits has been met, until the next restart (libjpeg then writes nothing).
    std::optional<int> Difference(std::size_t component);
    // A refinement's next bit.
    int RefinementBit();

    // Called between MCU rows: once the data is spent, looks for the cycle the differences
    // have fallen into.
    void LookForCycle();
    // Whether no later difference or bit changes a block any more: every difference is zero
    // (each block keeps its component's last value), or none is decoded.
    bool Settled() const;

  private:
    struct Step {
        int difference = 0;
        int context = 0;  // the next one
    };
    using Bins = std::array<std::uint8_t, 64>;
    using Cycle = std::array<Step, 5>;  // per context: 0, 4, 8, 12 and 16

    std::optional<Cycle> CycleOf(std::size_t component) const;

    const JpegDcScan* m_scan;
    JpegArithmeticBytes* m_bytes;
    JpegQmDecoder m_qm;
    std::vector<Bins> m_statistics;  // of each table the scan uses, shared by its components
    std::vector<std::size_t> m_statisticsOf;
    std::vector<int> m_context;
    std::uint8_t m_fixedHalf = kQmFixedHalf;
    bool m_failed = false;
    std::vector<Cycle> m_cycles;  // per component, once found; empty before
};

}  // namespace platform::codecs
