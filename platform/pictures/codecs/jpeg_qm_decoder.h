#pragma once

// The QM coder's decoder (ITU-T T.81, Annex D), as an arithmetic-coded scan uses it. Each
// decision is decoded with a statistics bin: one byte, the bin's state in the probability
// estimation table in its low 7 bits and its more probable symbol in the top bit. As libjpeg
// keeps it, the base of the coding interval and the bits not yet used share register C, cut
// where the count of bits left says, so that renormalising shifts A alone.

#include <array>
#include <cstdint>

namespace platform::codecs {

struct QmState {
    std::uint16_t qe;  // the less probable symbol's share of the interval
    std::uint8_t nextLps;
    std::uint8_t nextMps;
    bool switchMps;  // after a less probable symbol the symbols trade places
};

// Table D.2, and after it a state of fixed probability one half that never moves.
inline constexpr std::array<QmState, 114> kQmStates = {{
    {0x5A1D, 1, 1, true},      {0x2586, 14, 2, false},    {0x1114, 16, 3, false},
    {0x080B, 18, 4, false},    {0x03D8, 20, 5, false},    {0x01DA, 23, 6, false},
    {0x00E5, 25, 7, false},    {0x006F, 28, 8, false},    {0x0036, 30, 9, false},
    {0x001A, 33, 10, false},   {0x000D, 35, 11, false},   {0x0006, 9, 12, false},
    {0x0003, 10, 13, false},   {0x0001, 12, 13, false},   {0x5A7F, 15, 15, true},
    {0x3F25, 36, 16, false},   {0x2CF2, 38, 17, false},   {0x207C, 39, 18, false},
    {0x17B9, 40, 19, false},   {0x1182, 42, 20, false},   {0x0CEF, 43, 21, false},
    {0x09A1, 45, 22, false},   {0x072F, 46, 23, false},   {0x055C, 48, 24, false},
    {0x0406, 49, 25, false},   {0x0303, 51, 26, false},   {0x0240, 52, 27, false},
    {0x01B1, 54, 28, false},   {0x0144, 56, 29, false},   {0x00F5, 57, 30, false},
    {0x00B7, 59, 31, false},   {0x008A, 60, 32, false},   {0x0068, 62, 33, false},
    {0x004E, 63, 34, false},   {0x003B, 32, 35, false},   {0x002C, 33, 9, false},
    {0x5AE1, 37, 37, true},    {0x484C, 64, 38, false},   {0x3A0D, 65, 39, false},
    {0x2EF1, 67, 40, false},   {0x261F, 68, 41, false},   {0x1F33, 69, 42, false},
    {0x19A8, 70, 43, false},   {0x1518, 72, 44, false},   {0x1177, 73, 45, false},
    {0x0E74, 74, 46, false},   {0x0BFB, 75, 47, false},   {0x09F8, 77, 48, false},
    {0x0861, 78, 49, false},   {0x0706, 79, 50, false},   {0x05CD, 48, 51, false},
    {0x04DE, 50, 52, false},   {0x040F, 50, 53, false},   {0x0363, 51, 54, false},
    {0x02D4, 52, 55, false},   {0x025C, 53, 56, false},   {0x01F8, 54, 57, false},
    {0x01A4, 55, 58, false},   {0x0160, 56, 59, false},   {0x0125, 57, 60, false},
    {0x00F6, 58, 61, false},   {0x00CB, 59, 62, false},   {0x00AB, 61, 63, false},
    {0x008F, 61, 32, false},   {0x5B12, 65, 65, true},    {0x4D04, 80, 66, false},
    {0x412C, 81, 67, false},   {0x37D8, 82, 68, false},   {0x2FE8, 83, 69, false},
    {0x293C, 84, 70, false},   {0x2379, 86, 71, false},   {0x1EDF, 87, 72, false},
    {0x1AA9, 87, 73, false},   {0x174E, 72, 74, false},   {0x1424, 72, 75, false},
    {0x119C, 74, 76, false},   {0x0F6B, 74, 77, false},   {0x0D51, 75, 78, false},
    {0x0BB6, 77, 79, false},   {0x0A40, 77, 48, false},   {0x5832, 80, 81, true},
    {0x4D1C, 88, 82, false},   {0x438E, 89, 83, false},   {0x3BDD, 90, 84, false},
    {0x34EE, 91, 85, false},   {0x2EAE, 92, 86, false},   {0x299A, 93, 87, false},
    {0x2516, 86, 71, false},   {0x5570, 88, 89, true},    {0x4CA9, 95, 90, false},
    {0x44D9, 96, 91, false},   {0x3E22, 97, 92, false},   {0x3824, 99, 93, false},
    {0x32B4, 99, 94, false},   {0x2E17, 93, 86, false},   {0x56A8, 95, 96, true},
    {0x4F46, 101, 97, false},  {0x47E5, 102, 98, false},  {0x41CF, 103, 99, false},
    {0x3C3D, 104, 100, false}, {0x375E, 99, 93, false},   {0x5231, 105, 102, false},
    {0x4C0F, 106, 103, false}, {0x4639, 107, 104, false}, {0x415E, 103, 99, false},
    {0x5627, 105, 106, true},  {0x50E7, 108, 107, false}, {0x4B85, 109, 103, false},
    {0x5597, 110, 109, false}, {0x504F, 111, 107, false}, {0x5A10, 110, 111, true},
    {0x5522, 112, 109, false}, {0x59EB, 112, 111, true},  {0x5A1D, 113, 113, false},
}};
inline constexpr std::uint8_t kQmFixedHalf = 113;

// Whether a bin in `state`, and in every state the more probable symbol moves it on to, gives
// the less probable symbol less than half of any interval (Qe at most 0x4000, A at least
// 0x8000): with no data left every later decision is then the more probable symbol.
constexpr bool QmStaysWithMps(std::uint8_t state) {
    for (int step = 0; step <= static_cast<int>(kQmStates.size()); ++step) {
        const QmState& at = kQmStates[state];
        if (at.qe > 0x4000) return false;
        if (at.nextMps == state) return true;
        state = at.nextMps;
    }
    return false;
}

class JpegQmDecoder {
  public:
    // Starts again on the next two bytes of data, as at a scan's start and after a restart.
    void Restart() {
        m_c = 0;
        m_a = 0;
        m_bitsLeft = -16;
    }

    // One decision (0 or 1) with `bin`, which it updates; `nextByte` gives the scan's next
    // data byte, or 0 once a marker has stopped its data.
    template <class NextByte>
    int Decode(std::uint8_t& bin, NextByte&& nextByte) {
        // Renormalisation and data input, D.2.6.
        while (m_a < 0x8000) {
            if (--m_bitsLeft < 0) {
                m_c = m_c << 8 | nextByte();
                // The first two bytes fill C before A starts at one (0x10000).
                if ((m_bitsLeft += 8) < 0 && ++m_bitsLeft == 0) m_a = 0x8000;
            }
            m_a <<= 1;
        }
        const QmState& state = kQmStates[bin & 0x7F];
        const std::int64_t qe = state.qe;
        int symbol = bin >> 7;
        // Decoding and estimation, D.2.4 and D.2.5: the more probable symbol takes the lower
        // sub-interval unless it would be the smaller (the conditional exchange).
        m_a -= qe;
        const std::int64_t lower = m_a << m_bitsLeft;
        bool lps = false;
        bool estimate = true;
        if (m_c >= lower) {
            m_c -= lower;
            lps = m_a >= qe;
            m_a = qe;
        } else if (m_a < 0x8000) {
            lps = m_a < qe;
        } else {
            estimate = false;
        }
        if (estimate) {
            if (lps) {
                bin = static_cast<std::uint8_t>(((bin & 0x80) ^ (state.switchMps ? 0x80 : 0)) |
                                                state.nextLps);
                symbol ^= 1;
            } else {
                bin = static_cast<std::uint8_t>((bin & 0x80) | state.nextMps);
            }
        }
        return symbol;
    }

    // Whether C holds no bit of data still to be used (past the data, none comes in).
    bool Empty() const { return m_c == 0; }

    // With C empty and no data left, whether every later decision at the fixed probability
    // gives 0: A then halves to Qe at each decision and doubles back to twice Qe, the one
    // interval from which neither symbol ever takes the other's place.
    bool SettledAtFixedHalf() const {
        const std::int64_t qe = kQmStates[kQmFixedHalf].qe;
        return m_c == 0 && (m_a == qe || m_a == 2 * qe);
    }

  private:
    std::int64_t m_c = 0;
    std::int64_t m_a = 0;
    int m_bitsLeft = -16;  // of the data in C
};

}  // namespace platform::codecs
