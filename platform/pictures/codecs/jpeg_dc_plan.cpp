#include "platform/pictures/codecs/jpeg_dc_plan.h"

#include <algorithm>
#include <optional>
#include <string>

#include "platform/pictures/codecs/jpeg_markers.h"

namespace platform::codecs {

namespace {

using namespace jpeg_marker;

// libjpeg's limits: tables of each kind, the blocks of an MCU, the shift of a DC scan.
constexpr int kTableSlots = 4;
constexpr int kArithmeticSlots = 16;
constexpr int kMaxBlocksInMcu = 10;
constexpr int kMaxShift = 13;

// The tables libjpeg puts in slots 0 and 1 when a file leaves them out (motion JPEG does):
// the example tables of the standard, of which only the DC ones matter here.
constexpr std::uint8_t kStandardDcCounts[2][16] = {
    {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0},
    {0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0}};
constexpr std::uint8_t kStandardDcValues[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};

CodecFailure BadTable() {
    return Fail(CodecError::BadHeader, "a Huffman table of DC differences is not valid");
}

// As libjpeg derives a decoding table, refusing what it refuses: more than 256 codes, codes
// that do not fit their length, and DC symbols above 15.
std::optional<JpegDcHuffman> DeriveTable(const std::uint8_t (&counts)[16],
                                         std::span<const std::uint8_t> values) {
    JpegDcHuffman table;
    int total = 0;
    for (int count : counts) total += count;
    if (total > 256 || static_cast<std::size_t>(total) > values.size()) return std::nullopt;
    std::copy_n(values.begin(), total, table.values.begin());
    for (int i = 0; i < total; ++i) {
        if (values[static_cast<std::size_t>(i)] > 15) return std::nullopt;
    }
    std::int32_t code = 0;
    int index = 0;
    table.maxCode.fill(-1);
    for (int length = 1; length <= 16; ++length) {
        const int count = counts[length - 1];
        if (count > 0) {
            // A code may not be all ones, so the code after the last must still fit the length.
            if (code + count >= (std::int32_t{1} << length)) return std::nullopt;
            table.valueShift[static_cast<std::size_t>(length)] = index - code;
            for (int n = 0; n < count && length <= 8; ++n) {
                const int spare = 8 - length;
                for (int rest = 0; rest < 1 << spare; ++rest) {
                    table.first8[static_cast<std::size_t>((code + n) << spare | rest)] =
                        static_cast<std::uint16_t>(length << 8 |
                                                   values[static_cast<std::size_t>(index + n)]);
                }
            }
            code += count;
            index += count;
            table.maxCode[static_cast<std::size_t>(length)] = code - 1;
        }
        code <<= 1;
    }
    table.maxCode[17] = 0xFFFFF;  // ends the search of a code longer than 16 bits
    return table;
}

// Reads a file's marker segments front to back.
class Segments {
  public:
    explicit Segments(const FileInput& file) : m_file(file) {}

    // The next marker at or after `from` as libjpeg finds it: bytes up to an FF skipped, fill
    // bytes too, FF 00 no marker. Sets `start` (its FF) and `after` (past its code).
    std::optional<int> NextMarker(std::uint64_t from, std::uint64_t& start, std::uint64_t& after) {
        std::uint64_t at = from;
        for (;;) {
            std::optional<std::uint8_t> byte;
            while ((byte = Byte(at)) && *byte != 0xFF) ++at;
            if (!byte) return std::nullopt;
            start = at++;
            while ((byte = Byte(at)) && *byte == 0xFF) ++at;
            if (!byte) return std::nullopt;
            ++at;
            if (*byte != 0) {
                after = at;
                return *byte;
            }
        }
    }

    // The segment's bytes after its length field, or nothing when the file ends inside it.
    std::optional<std::vector<std::uint8_t>> Segment(std::uint64_t after, std::uint64_t& end) {
        const auto high = Byte(after), low = Byte(after + 1);
        if (!high || !low) return std::nullopt;
        const int length = *high << 8 | *low;
        if (length < 2) return std::nullopt;
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length - 2));
        if (!bytes.empty() && m_file.ReadAt(after + 2, bytes) != bytes.size()) return std::nullopt;
        end = after + static_cast<std::uint64_t>(length);
        return bytes;
    }

  private:
    std::optional<std::uint8_t> Byte(std::uint64_t at) {
        if (at < m_pieceStart || at >= m_pieceStart + m_pieceLength) {
            m_pieceStart = at;
            m_pieceLength = m_file.ReadAt(at, m_piece);
            if (m_pieceLength == 0) return std::nullopt;
        }
        return m_piece[static_cast<std::size_t>(at - m_pieceStart)];
    }

    const FileInput& m_file;
    std::array<std::uint8_t, 4096> m_piece{};
    std::uint64_t m_pieceStart = 0;
    std::size_t m_pieceLength = 0;
};

struct QuantTable {
    bool defined = false;
    std::uint16_t dc = 0;
};

// Everything the markers have said so far.
class PlanReader {
  public:
    explicit PlanReader(JpegDcPlan& plan) : m_plan(plan) { m_dcSlots.fill(-1); }

    Status Frame(const std::vector<std::uint8_t>& s, bool arithmetic) {
        if (m_sawFrame) return Fail(CodecError::BadHeader, "a second frame header");
        m_sawFrame = true;
        m_plan.arithmetic = arithmetic;
        if (s.size() < 6) return Fail(CodecError::BadHeader, "a frame header cut short");
        if (s[0] != 8) return Fail(CodecError::Unsupported, "samples of other than 8 bits");
        const int count = s[5];
        if (count < 1 || s.size() != 6 + 3 * static_cast<std::size_t>(count))
            return Fail(CodecError::BadHeader, "a frame header of the wrong length");
        for (int i = 0; i < count; ++i) {
            const std::size_t at = 6 + 3 * static_cast<std::size_t>(i);
            if (std::find(m_ids.begin(), m_ids.end(), s[at]) != m_ids.end())
                return Fail(CodecError::BadHeader, "two components share an id");
            m_ids.push_back(s[at]);
            m_quantSlots.push_back(s[at + 2]);
            JpegDcComponent component{.h = s[at + 1] >> 4, .v = s[at + 1] & 15};
            if (component.h < 1 || component.h > 4 || component.v < 1 || component.v > 4)
                return Fail(CodecError::BadHeader, "a sampling factor out of range");
            m_plan.maxH = std::max(m_plan.maxH, component.h);
            m_plan.maxV = std::max(m_plan.maxV, component.v);
            m_plan.components.push_back(component);
        }
        m_latched.assign(m_plan.components.size(), false);
        return Done();
    }

    Status HuffmanTables(const std::vector<std::uint8_t>& s) {
        std::size_t at = 0;
        while (s.size() - at > 16) {
            const int index = s[at];
            std::uint8_t counts[16];
            int total = 0;
            for (int i = 0; i < 16; ++i)
                total += counts[i] = s[at + 1 + static_cast<std::size_t>(i)];
            at += 17;
            if (total > 256 || static_cast<std::size_t>(total) > s.size() - at) return BadTable();
            const auto values = std::span(s).subspan(at, static_cast<std::size_t>(total));
            at += static_cast<std::size_t>(total);
            if ((index & 15) >= kTableSlots || index > 0x1F)
                return Fail(CodecError::BadHeader, "a Huffman table number out of range");
            if (index & 0x10) continue;  // AC tables are for the scans left out
            // libjpeg refuses a bad DC table only when a scan decodes with it.
            const auto derived = DeriveTable(counts, values);
            m_dcSlots[static_cast<std::size_t>(index)] = derived ? Store(*derived) : kBadTable;
        }
        if (at != s.size()) return Fail(CodecError::BadHeader, "a Huffman segment's length");
        return Done();
    }

    Status QuantTables(const std::vector<std::uint8_t>& s) {
        std::size_t at = 0;
        while (at < s.size()) {
            const int precision = s[at] >> 4, index = s[at] & 15;
            if (index >= kTableSlots)
                return Fail(CodecError::BadHeader, "a quantisation table number out of range");
            const std::size_t bytes = precision ? 128 : 64;
            if (s.size() - at - 1 < bytes)
                return Fail(CodecError::BadHeader, "a quantisation segment's length");
            QuantTable& table = m_quant[static_cast<std::size_t>(index)];
            table.defined = true;
            table.dc = precision ? static_cast<std::uint16_t>(s[at + 1] << 8 | s[at + 2])
                                 : std::uint16_t{s[at + 1]};
            at += 1 + bytes;
        }
        return Done();
    }

    // libjpeg reads every DAC segment, whatever the coding, and refuses a bad one.
    Status Conditioning(const std::vector<std::uint8_t>& s) {
        if (s.size() % 2 != 0) return Fail(CodecError::BadHeader, "a DAC segment's length");
        for (std::size_t at = 0; at < s.size(); at += 2) {
            const int index = s[at];
            if (index >= 2 * kArithmeticSlots)
                return Fail(CodecError::BadHeader, "an arithmetic table number out of range");
            if (index >= kArithmeticSlots) continue;  // AC conditioning, for the scans left out
            const JpegDcConditioning conditioning{.lower = s[at + 1] & 15, .upper = s[at + 1] >> 4};
            if (conditioning.lower > conditioning.upper)
                return Fail(CodecError::BadHeader, "arithmetic DC conditioning with L above U");
            m_conditioning[static_cast<std::size_t>(index)] = conditioning;
        }
        return Done();
    }

    Status RestartInterval(const std::vector<std::uint8_t>& s) {
        if (s.size() != 2) return Fail(CodecError::BadHeader, "a restart segment's length");
        m_restartInterval = s[0] << 8 | s[1];
        return Done();
    }

    void App(int code, const std::vector<std::uint8_t>& s) {
        const auto starts = [&](std::string_view text, std::size_t length) {
            return s.size() >= length && std::equal(text.begin(), text.end(), s.begin());
        };
        if (code == kApp0 && starts(std::string_view("JFIF\0", 5), 14)) m_jfif = true;
        if (code == kApp14 && starts("Adobe", 12)) {
            m_plan.adobe = true;
            if (!m_sawScan) m_adobeTransform = s[11];
        }
    }

    Status Scan(const std::vector<std::uint8_t>& s, const JpegScan& where) {
        if (!m_sawFrame) return Fail(CodecError::BadHeader, "a scan before the frame header");
        if (!m_sawScan) FirstScan();
        m_sawScan = true;
        const std::size_t count = s.empty() ? 0 : s[0];
        if (count < 1 || count > 4 || s.size() != 4 + 2 * count)
            return Fail(CodecError::BadHeader, "a scan header of the wrong length");
        JpegDcScan scan;
        scan.restartInterval = m_restartInterval;
        scan.dataStart = where.dataStart;
        scan.dataEnd = where.dataEnd;
        const std::uint8_t spectralEnd = s[2 + 2 * count];
        const std::uint8_t approximation = s[3 + 2 * count];
        scan.ah = approximation >> 4;
        scan.al = approximation & 15;
        if (spectralEnd != 0 || (scan.ah != 0 && scan.al != scan.ah - 1) || scan.al > kMaxShift)
            return Fail(CodecError::Corrupt, "a DC scan's progression parameters are not valid");
        int blocks = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const auto found = std::find(m_ids.begin(), m_ids.end(), s[1 + 2 * i]);
            if (found == m_ids.end())
                return Fail(CodecError::BadHeader, "a scan names a component not in the frame");
            const int component = static_cast<int>(found - m_ids.begin());
            if (std::find(scan.components.begin(), scan.components.end(), component) !=
                scan.components.end())
                return Fail(CodecError::BadHeader, "a scan names a component twice");
            scan.components.push_back(component);
            const JpegDcComponent& c = m_plan.components[static_cast<std::size_t>(component)];
            blocks += c.h * c.v;
            if (Status latched = Latch(component); !latched) return latched;
            const int slot = s[2 + 2 * i] >> 4;
            int table = kBadTable;
            if (scan.ah == 0 && m_plan.arithmetic) {
                // Any of the 16 numbers; the conditioning is that in force when the scan starts.
                table = slot;
                scan.conditioning.push_back(m_conditioning[static_cast<std::size_t>(slot)]);
            } else if (scan.ah == 0) {
                if (slot >= kTableSlots || m_dcSlots[static_cast<std::size_t>(slot)] == -1)
                    return Fail(CodecError::BadHeader, "a scan uses a Huffman table not defined");
                table = m_dcSlots[static_cast<std::size_t>(slot)];
                if (table == kBadTable) return BadTable();
            }
            scan.tables.push_back(table);
        }
        if (count > 1 && blocks > kMaxBlocksInMcu)
            return Fail(CodecError::BadHeader, "more blocks in an MCU than allowed");
        m_plan.scans.push_back(std::move(scan));
        return Done();
    }

    bool SawFrame() const { return m_sawFrame; }
    bool UnknownColours() const { return m_unknownColours; }

  private:
    static constexpr int kBadTable = -2;

    int Store(const JpegDcHuffman& table) {
        m_plan.tables.push_back(table);
        return static_cast<int>(m_plan.tables.size() - 1);
    }

    // At the first scan libjpeg has read the header: it fills the missing tables and settles
    // the colour space, as jpeg_read_header and jpeg_start_decompress do.
    void FirstScan() {
        for (std::size_t slot = 0; slot < 2; ++slot) {
            if (m_dcSlots[slot] != -1) continue;
            const auto table = DeriveTable(kStandardDcCounts[slot], kStandardDcValues);
            m_dcSlots[slot] = Store(*table);
        }
        const std::size_t count = m_plan.components.size();
        if (count == 1) {
            m_plan.colours = JpegColours::Grey;
        } else if (count == 3) {
            const bool rgbIds = m_ids == std::vector<std::uint8_t>{'R', 'G', 'B'};
            const bool adobeRgb = !m_jfif && m_adobeTransform == 0;
            m_plan.colours = adobeRgb || (!m_jfif && m_adobeTransform < 0 && rgbIds)
                                 ? JpegColours::Rgb
                                 : JpegColours::YCbCr;
        } else if (count == 4) {
            m_plan.colours = m_adobeTransform < 0 || m_adobeTransform == 0 ? JpegColours::Cmyk
                                                                           : JpegColours::Ycck;
        } else {
            m_unknownColours = true;
        }
    }

    // libjpeg keeps a copy of a component's quantisation table when its first scan starts.
    Status Latch(int component) {
        const auto index = static_cast<std::size_t>(component);
        if (m_latched[index]) return Done();
        const int slot = m_quantSlots[index];
        if (slot >= kTableSlots || !m_quant[static_cast<std::size_t>(slot)].defined)
            return Fail(CodecError::BadHeader, "a component's quantisation table is not defined");
        m_plan.components[index].dcStep =
            static_cast<std::int16_t>(m_quant[static_cast<std::size_t>(slot)].dc);
        m_latched[index] = true;
        return Done();
    }

    JpegDcPlan& m_plan;
    bool m_sawFrame = false;
    bool m_sawScan = false;
    bool m_jfif = false;
    bool m_unknownColours = false;
    int m_adobeTransform = -1;  // of an Adobe marker before the first scan
    int m_restartInterval = 0;
    std::vector<std::uint8_t> m_ids;
    std::vector<int> m_quantSlots;
    std::vector<bool> m_latched;
    std::array<QuantTable, kTableSlots> m_quant{};
    std::array<int, kTableSlots> m_dcSlots{};
    std::array<JpegDcConditioning, kArithmeticSlots> m_conditioning{};
};

}  // namespace

Result<JpegDcPlan> ReadJpegDcPlan(const FileInput& file, const JpegStructure& structure) {
    if (!structure.hasFrame || !structure.progressive)
        return Fail(CodecError::Unsupported, "not a progressive file");
    JpegDcPlan plan;
    plan.width = structure.width;
    plan.height = structure.height;
    PlanReader reader(plan);
    Segments segments(file);
    std::uint64_t at = 2;
    std::size_t next = 0;  // of structure.scans
    while (next < structure.scans.size()) {
        std::uint64_t start = 0, after = 0;
        const auto code = segments.NextMarker(at, start, after);
        if (!code || *code == kEoi) break;
        at = after;
        if (IsRestart(*code) || *code == kTem) continue;
        if (*code == kSoi) return Fail(CodecError::Corrupt, "a second start of image");
        const JpegScan& scan = structure.scans[next];
        if (*code == kSos && start != scan.start)
            return Fail(CodecError::Corrupt, "a scan is not where the walk found it");
        if (*code == kSos && !scan.dc) {  // left out whole, as the libjpeg road leaves it
            at = scan.dataEnd;
            ++next;
            continue;
        }
        std::uint64_t end = 0;
        const auto segment = segments.Segment(after, end);
        if (!segment) return Fail(CodecError::Truncated, "the file ends inside a marker segment");
        at = end;
        Status read = Done();
        if (*code == kSos) {
            read = reader.Scan(*segment, scan);
            at = scan.dataEnd;
            ++next;
        } else if (IsFrame(*code)) {
            read = *code == kSof2 || *code == kSof10 || reader.SawFrame()
                       ? reader.Frame(*segment, *code == kSof10)
                       : Fail(CodecError::Unsupported, "not a progressive frame");
        } else if (*code == kDht) {
            read = reader.HuffmanTables(*segment);
        } else if (*code == kDqt) {
            read = reader.QuantTables(*segment);
        } else if (*code == kDac) {
            read = reader.Conditioning(*segment);
        } else if (*code == kDri) {
            read = reader.RestartInterval(*segment);
        } else if (IsApp(*code)) {
            reader.App(*code, *segment);
        } else if (*code != kCom && *code != kDnl) {
            read = Fail(CodecError::BadHeader, "a marker of no known kind");
        }
        if (!read) return read.Failure();
    }
    if (reader.UnknownColours())
        return Fail(CodecError::Unsupported, "a colour space of other than 1, 3 or 4 components");
    if (plan.scans.empty()) return Fail(CodecError::Truncated, "no DC scan");
    for (const JpegDcComponent& component : plan.components) {
        // libjpeg scales each component to the largest sampling by whole factors only.
        if (plan.maxH % component.h != 0 || plan.maxV % component.v != 0)
            return Fail(CodecError::Unsupported, "sampling factors that do not divide evenly");
    }
    return plan;
}

}  // namespace platform::codecs
