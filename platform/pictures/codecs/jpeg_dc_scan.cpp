#include "platform/pictures/codecs/jpeg_dc_scan.h"

#include <algorithm>
#include <array>
#include <climits>

#include "platform/pictures/codecs/jpeg_markers.h"

namespace platform::codecs {

namespace {

using namespace jpeg_marker;

int DivideRoundingUp(long long a, long long b) {
    return static_cast<int>((a + b - 1) / b);
}

}  // namespace

// The scan's entropy-coded bytes as libjpeg's bit reader takes them: FF 00 is a data byte FF,
// and any other marker stops the data. The scan's bytes end where the walk found its data
// to end; past that the reader sees an end-of-image marker, as libjpeg does past the file.
class JpegDcScanDecoder::Bits final : public JpegArithmeticBytes {
  public:
    Bits(const FileInput& file, std::uint64_t start, std::uint64_t end)
        : m_file(file), m_position(start), m_end(std::min(end, file.Size())) {}

    // The next `count` bits (at most 16); zeros once the data has stopped at a marker, when
    // `outOfData` is set as libjpeg sets it.
    int Get(int count, bool& outOfData) {
        while (m_count < count) {
            if (m_marker != 0) {
                outOfData = true;
                m_bits <<= 25 - m_count;
                m_count = 25;
                break;
            }
            const int byte = DataByte();
            if (byte < 0) continue;  // a marker: m_marker is set
            m_bits = m_bits << 8 | static_cast<std::uint64_t>(byte);
            m_count += 8;
        }
        m_count -= count;
        return static_cast<int>((m_bits >> m_count) & ((1u << count) - 1));
    }

    // Whether the next 8 bits are data, reading up to them; and those bits.
    bool Have8() {
        while (m_count < 8 && m_marker == 0) {
            const int byte = DataByte();
            if (byte < 0) break;
            m_bits = m_bits << 8 | static_cast<std::uint64_t>(byte);
            m_count += 8;
        }
        return m_count >= 8;
    }
    int Next() override {
        if (m_marker != 0) return 0;
        const int byte = DataByte();
        return byte < 0 ? 0 : byte;
    }
    bool Spent() const override { return m_marker != 0; }

    std::size_t Peek8() const { return static_cast<std::size_t>((m_bits >> (m_count - 8)) & 0xFF); }
    void Drop(int count) { m_count -= count; }

    // A restart: the bits left are dropped, and the marker is looked for unless one has
    // stopped the data already.
    void DropBits() {
        m_bits = 0;
        m_count = 0;
    }
    int Marker() {
        if (m_marker == 0) m_marker = NextMarker();
        return m_marker;
    }
    void TakeMarker() { m_marker = 0; }
    // Passes over the marker in hand and finds the next one.
    void SkipToNextMarker() { m_marker = NextMarker(); }
    bool StoppedAtMarker() const { return m_marker != 0; }
    int HeldMarker() const { return m_marker; }

  private:
    int Byte() {
        if (m_position >= m_end) return -1;
        const std::span<const std::uint8_t> memory = m_file.Memory();
        if (!memory.empty()) return memory[static_cast<std::size_t>(m_position++)];
        if (m_position < m_pieceStart || m_position >= m_pieceStart + m_pieceLength) {
            m_pieceStart = m_position;
            m_pieceLength = m_file.ReadAt(m_position, m_piece);
            if (m_pieceLength == 0) return -1;
        }
        return m_piece[static_cast<std::size_t>(m_position++ - m_pieceStart)];
    }

    // A data byte, or -1 with m_marker set.
    int DataByte() {
        int byte = Byte();
        if (byte < 0) {
            m_marker = kEoi;
            return -1;
        }
        if (byte != 0xFF) return byte;
        do byte = Byte();
        while (byte == 0xFF);
        if (byte == 0) return 0xFF;
        m_marker = byte < 0 ? kEoi : byte;
        return -1;
    }

    // As libjpeg's next_marker: bytes up to an FF skipped, fill bytes too, FF 00 no marker.
    int NextMarker() {
        for (;;) {
            int byte = 0;
            do byte = Byte();
            while (byte >= 0 && byte != 0xFF);
            do byte = Byte();
            while (byte == 0xFF);
            if (byte < 0) return kEoi;
            if (byte != 0) return byte;
        }
    }

    const FileInput& m_file;
    std::uint64_t m_position;
    std::uint64_t m_end;
    std::uint64_t m_bits = 0;  // the low m_count bits are unread
    int m_count = 0;
    int m_marker = 0;  // the marker that stopped the data, or 0
    std::array<std::uint8_t, 4096> m_piece{};
    std::uint64_t m_pieceStart = 0;
    std::size_t m_pieceLength = 0;
};

JpegDcScanDecoder::JpegDcScanDecoder(const FileInput& file, const JpegDcPlan& plan,
                                     const JpegDcScan& scan)
    : m_plan(plan),
      m_scan(scan),
      m_bits(std::make_unique<Bits>(file, scan.dataStart, scan.dataEnd)),
      m_lastDc(scan.components.size(), 0),
      m_restartsToGo(scan.restartInterval) {
    if (plan.arithmetic) m_arithmetic.emplace(scan, *m_bits);
}

JpegDcScanDecoder::~JpegDcScanDecoder() = default;
JpegDcScanDecoder::JpegDcScanDecoder(JpegDcScanDecoder&&) noexcept = default;

// As libjpeg's read_restart_marker and jpeg_resync_to_restart: the expected marker is taken;
// one of the next two expected is left for a later restart, the data between read as empty;
// an earlier one or a stray marker is passed over; any other marker ends the scan's data.
void JpegDcScanDecoder::Restart() {
    m_bits->DropBits();
    const int wanted = m_nextRestart;
    int marker = m_bits->Marker();
    if (marker != kRst0 + wanted) {
        for (;;) {
            const auto is = [&](int offset) { return marker == kRst0 + ((wanted + offset) & 7); };
            if (marker < kSof0) {
                m_bits->SkipToNextMarker();
                marker = m_bits->Marker();
            } else if (!IsRestart(marker) || is(1) || is(2)) {
                break;  // left in hand
            } else if (is(-1) || is(-2)) {
                m_bits->SkipToNextMarker();
                marker = m_bits->Marker();
            } else {
                m_bits->TakeMarker();
                break;
            }
        }
    } else {
        m_bits->TakeMarker();
    }
    m_nextRestart = (m_nextRestart + 1) & 7;
    std::fill(m_lastDc.begin(), m_lastDc.end(), 0);
    m_restartsToGo = m_scan.restartInterval;
    if (!m_bits->StoppedAtMarker()) m_outOfData = false;
    if (m_arithmetic) m_arithmetic->Restart();
}

void JpegDcScanDecoder::DecodeArithmeticMcu(std::vector<std::int16_t*>& blocks) {
    const auto shift = static_cast<unsigned>(m_scan.al);
    if (m_scan.ah != 0) {
        for (std::int16_t* block : blocks) {
            if (m_arithmetic->RefinementBit())
                *block = static_cast<std::int16_t>(*block | (1 << shift));
        }
        return;
    }
    std::size_t block = 0;
    for (std::size_t i = 0; i < m_scan.components.size(); ++i) {
        for (std::size_t n = 0; n < BlocksOf(i) && block < blocks.size(); ++n, ++block) {
            // After a difference too large the rest of the interval is left as it was.
            const auto difference = m_arithmetic->Difference(i);
            if (!difference) return;
            // Kept as libjpeg keeps it: 16 bits, shifted into place.
            m_lastDc[i] = (m_lastDc[i] + *difference) & 0xFFFF;
            *blocks[block] =
                static_cast<std::int16_t>(static_cast<std::uint32_t>(m_lastDc[i]) << shift);
        }
    }
}

// The blocks of the scan's component `i` in an MCU: h x v of it when the scan has several.
std::size_t JpegDcScanDecoder::BlocksOf(std::size_t i) const {
    if (m_scan.components.size() == 1) return 1;
    const JpegDcComponent& c = m_plan.components[static_cast<std::size_t>(m_scan.components[i])];
    return static_cast<std::size_t>(c.h) * static_cast<std::size_t>(c.v);
}

Status JpegDcScanDecoder::DecodeMcu(std::vector<std::int16_t*>& blocks) {
    if (m_scan.restartInterval != 0) {
        if (m_restartsToGo == 0) Restart();
        --m_restartsToGo;
    }
    if (m_arithmetic) {
        DecodeArithmeticMcu(blocks);
        return Done();
    }
    const auto shift = static_cast<unsigned>(m_scan.al);
    if (m_scan.ah != 0) {
        // A refinement: the next bit of each block's value. Zeros past the data change nothing.
        for (std::int16_t* block : blocks) {
            if (m_bits->Get(1, m_outOfData))
                *block = static_cast<std::int16_t>(*block | (1 << shift));
        }
        return Done();
    }
    if (m_outOfData) return Done();  // the rest of the interval keeps its zeros
    const std::size_t perMcu = blocks.size();
    std::size_t block = 0;
    for (std::size_t i = 0; i < m_scan.components.size(); ++i) {
        const JpegDcHuffman& table = m_plan.tables[static_cast<std::size_t>(m_scan.tables[i])];
        for (std::size_t n = 0; n < BlocksOf(i) && block < perMcu; ++n, ++block) {
            int size = 0;
            const std::uint16_t known = m_bits->Have8() ? table.first8[m_bits->Peek8()] : 0;
            if (known != 0) {
                m_bits->Drop(known >> 8);
                size = known & 0xFF;
            } else {
                // The code bit by bit, as libjpeg's slow path reads it; past 16 bits it is no
                // code and stands for a zero difference.
                int code = m_bits->Get(1, m_outOfData);
                int length = 1;
                while (code > table.maxCode[static_cast<std::size_t>(length)]) {
                    code = code << 1 | m_bits->Get(1, m_outOfData);
                    ++length;
                }
                const int index = code + table.valueShift[static_cast<std::size_t>(length)];
                if (length <= 16 && index >= 0 && index < 256)
                    size = table.values[static_cast<std::size_t>(index)];
            }
            int difference = 0;
            if (size != 0) {
                const int bits = m_bits->Get(size, m_outOfData);
                difference = bits < (1 << (size - 1)) ? bits - (1 << size) + 1 : bits;
            }
            int& last = m_lastDc[i];
            if ((last >= 0 && difference > INT_MAX - last) ||
                (last < 0 && difference < INT_MIN - last))
                return Fail(CodecError::Corrupt, "a DC value past the range of an integer");
            last += difference;
            // Kept as libjpeg keeps it: shifted into place and cut to 16 bits.
            *blocks[block] = static_cast<std::int16_t>(static_cast<std::uint32_t>(last) << shift);
        }
    }
    return Done();
}

bool JpegDcScanDecoder::Settled() const {
    if (!m_arithmetic) return false;
    if (m_scan.restartInterval != 0) {
        // Past the data, each restart starts afresh on zeros, and every interval decodes as the
        // one before: the rows do when each of them starts an interval.
        const std::vector<int>& components = m_scan.components;
        const JpegDcComponent& c = m_plan.components[static_cast<std::size_t>(components[0])];
        const int perRow =
            components.size() == 1
                ? DivideRoundingUp(
                      DivideRoundingUp(static_cast<long long>(m_plan.width) * c.h, m_plan.maxH), 8)
                : DivideRoundingUp(m_plan.width, 8LL * m_plan.maxH);
        return m_restartsToGo == 0 && perRow % m_scan.restartInterval == 0 &&
               m_bits->HeldMarker() == kEoi;
    }
    return m_arithmetic->Settled();
}

Status JpegDcScanDecoder::DecodeRow(int row, std::vector<JpegDcRow>& rows) {
    if (Status decoded = DecodeBlocks(row, rows); !decoded) return decoded;
    if (m_arithmetic) m_arithmetic->LookForCycle();
    return Done();
}

Status JpegDcScanDecoder::DecodeBlocks(int row, std::vector<JpegDcRow>& rows) {
    const std::vector<int>& components = m_scan.components;
    if (components.size() == 1) {
        // One component: its blocks in rows of their own, as many as its samples need.
        const int index = components[0];
        const JpegDcComponent& c = m_plan.components[static_cast<std::size_t>(index)];
        JpegDcRow& into = rows[static_cast<std::size_t>(index)];
        const int columns = DivideRoundingUp(
            DivideRoundingUp(static_cast<long long>(m_plan.width) * c.h, m_plan.maxH), 8);
        const int blockRows = DivideRoundingUp(
            DivideRoundingUp(static_cast<long long>(m_plan.height) * c.v, m_plan.maxV), 8);
        m_blocks.resize(1);
        for (int y = row * c.v; y < std::min((row + 1) * c.v, blockRows); ++y) {
            for (int x = 0; x < columns; ++x) {
                m_blocks[0] = &into.At(x, y - row * c.v);
                if (Status decoded = DecodeMcu(m_blocks); !decoded) return decoded;
            }
        }
        return Done();
    }
    // Several: MCUs across the frame, each with h x v blocks of every component in turn.
    const int mcus = DivideRoundingUp(m_plan.width, 8LL * m_plan.maxH);
    for (int mcu = 0; mcu < mcus; ++mcu) {
        m_blocks.clear();
        for (const int index : components) {
            const JpegDcComponent& c = m_plan.components[static_cast<std::size_t>(index)];
            JpegDcRow& into = rows[static_cast<std::size_t>(index)];
            for (int y = 0; y < c.v; ++y) {
                for (int x = 0; x < c.h; ++x) m_blocks.push_back(&into.At(mcu * c.h + x, y));
            }
        }
        if (Status decoded = DecodeMcu(m_blocks); !decoded) return decoded;
    }
    return Done();
}

}  // namespace platform::codecs
