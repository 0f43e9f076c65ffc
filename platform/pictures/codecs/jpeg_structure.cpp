#include "platform/pictures/codecs/jpeg_structure.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "platform/pictures/codecs/jpeg_markers.h"

namespace platform::codecs {

namespace {

using namespace jpeg_marker;

bool IsProgressiveFrame(std::uint8_t code) {
    return code == 0xC2 || code == 0xCA;  // Huffman or arithmetic coded
}

bool IsArithmeticFrame(std::uint8_t code) {
    return code >= 0xC9;
}

// libjpeg's limits on a frame and a scan.
constexpr int kMaxComponents = 10;
constexpr int kMaxComponentsInScan = 4;

std::uint64_t DivideRoundingUp(std::uint64_t a, std::uint64_t b) {
    return (a + b - 1) / b;
}

// A sampling factor, which the frame header has checked to be 1 to 4.
std::uint64_t Factor(int sampling) {
    return static_cast<std::uint64_t>(sampling);
}

// Reads forward through the file a piece at a time (or straight from memory), so that even a
// large file is walked in one pass with a small buffer.
class Reader {
  public:
    explicit Reader(const FileInput& file) : m_file(file) {
        if (!file.Memory().empty()) {
            m_piece = file.Memory();
        } else {
            m_buffer.resize(kPieceBytes);
        }
    }

    std::uint64_t Position() const { return m_pieceStart + m_at; }
    void Seek(std::uint64_t position) {
        if (position >= m_pieceStart && position <= m_pieceStart + m_piece.size()) {
            m_at = static_cast<std::size_t>(position - m_pieceStart);
            return;
        }
        m_pieceStart = std::min(position, m_file.Size());
        m_piece = {};
        m_at = 0;
    }

    std::optional<std::uint8_t> Byte() {
        if (!Available()) return std::nullopt;
        return m_piece[m_at++];
    }
    std::optional<int> Word() {  // big-endian, as every JPEG field
        const auto high = Byte();
        const auto low = Byte();
        if (!high || !low) return std::nullopt;
        return *high << 8 | *low;
    }

    // Moves to the next FF byte, or to the end of the file and false.
    bool FindFF() {
        while (Available()) {
            const void* found = std::memchr(m_piece.data() + m_at, 0xFF, m_piece.size() - m_at);
            if (found) {
                m_at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) -
                                                m_piece.data());
                return true;
            }
            m_at = m_piece.size();
        }
        return false;
    }

  private:
    static constexpr std::size_t kPieceBytes = 64 * 1024;

    // True when a byte is at hand, reading the next piece if need be.
    bool Available() {
        if (m_at < m_piece.size()) return true;
        if (!m_file.Memory().empty()) return false;
        m_pieceStart += m_piece.size();
        m_at = 0;
        const std::size_t got = m_file.ReadAt(m_pieceStart, m_buffer);
        m_piece = std::span<const std::uint8_t>(m_buffer.data(), got);
        return got > 0;
    }

    const FileInput& m_file;
    std::vector<std::uint8_t> m_buffer;
    std::span<const std::uint8_t> m_piece;
    std::uint64_t m_pieceStart = 0;  // file offset of m_piece[0]
    std::size_t m_at = 0;
};

// The next marker as libjpeg finds it: bytes up to an FF are skipped, fill bytes (more FF)
// too, and FF 00 is no marker. Returns its code; `start` gets the offset of its first FF.
std::optional<std::uint8_t> NextMarker(Reader& reader, std::uint64_t& start) {
    for (;;) {
        if (!reader.FindFF()) return std::nullopt;
        start = reader.Position();
        std::optional<std::uint8_t> code;
        do {
            code = reader.Byte();
        } while (code == 0xFF);
        if (!code) return std::nullopt;
        if (*code != 0) return code;
    }
}

// The frame header after its length: precision, height, width, components.
bool ReadFrame(Reader& reader, int length, std::uint8_t code, JpegStructure& structure) {
    const std::uint64_t start = reader.Position();
    const auto precision = reader.Byte();
    const auto height = reader.Word();
    const auto width = reader.Word();
    const auto count = reader.Byte();
    if (!precision || !height || !width || !count) return false;
    if (*count < 1 || *count > kMaxComponents || length != 8 + 3 * *count) return false;
    if (*height == 0 || *width == 0) return false;
    int maxH = 1;
    for (int i = 0; i < *count; ++i) {
        const auto id = reader.Byte();
        const auto sampling = reader.Byte();
        if (!id || !sampling || !reader.Byte()) return false;
        JpegFrameComponent component{.id = *id, .h = *sampling >> 4, .v = *sampling & 15};
        if (component.h < 1 || component.h > 4 || component.v < 1 || component.v > 4) return false;
        maxH = std::max(maxH, component.h);
        structure.maxV = std::max(structure.maxV, component.v);
        structure.components.push_back(component);
    }
    // As libjpeg sizes each component: its samples rounded up, then its blocks; the buffer
    // of coefficients holds whole MCUs.
    for (JpegFrameComponent& component : structure.components) {
        const std::uint64_t h = Factor(component.h), v = Factor(component.v);
        const std::uint64_t columns = DivideRoundingUp(
            DivideRoundingUp(static_cast<std::uint64_t>(*width) * h, Factor(maxH)), 8);
        const std::uint64_t rows = DivideRoundingUp(
            DivideRoundingUp(static_cast<std::uint64_t>(*height) * v, Factor(structure.maxV)), 8);
        component.columns = columns;
        component.blocks = columns * rows;
        component.coefficientBytes =
            DivideRoundingUp(columns, h) * h * DivideRoundingUp(rows, v) * v * 128;
    }
    structure.hasFrame = true;
    structure.progressive = IsProgressiveFrame(code);
    structure.arithmetic = IsArithmeticFrame(code);
    structure.width = *width;
    structure.height = *height;
    structure.heightField = start + 1;
    return true;
}

// The scan header after its length: the components it codes and its spectral selection.
bool ReadScanHeader(Reader& reader, int length, JpegScan& scan, JpegStructure& structure) {
    const auto count = reader.Byte();
    if (!count || *count < 1 || *count > kMaxComponentsInScan || length != 6 + 2 * *count)
        return false;
    for (int i = 0; i < *count; ++i) {
        const auto id = reader.Byte();
        if (!id || !reader.Byte()) return false;
        const auto component =
            std::find_if(structure.components.begin(), structure.components.end(),
                         [&](const JpegFrameComponent& c) { return c.id == *id; });
        if (component == structure.components.end()) return false;
        scan.blocks += component->blocks;
        scan.rowBlocks += component->columns * Factor(component->v);
    }
    const auto spectralStart = reader.Byte();
    if (!spectralStart || !reader.Byte() || !reader.Byte()) return false;
    scan.dc = *spectralStart == 0;
    if (structure.scans.empty()) {
        structure.multiScan =
            structure.progressive || *count < static_cast<int>(structure.components.size());
    }
    return true;
}

// Entropy-coded data runs to the first marker that is not a restart marker.
std::uint64_t ScanDataEnd(Reader& reader, const FileInput& file) {
    for (;;) {
        std::uint64_t start = 0;
        const auto code = NextMarker(reader, start);
        if (!code) return file.Size();
        if (IsRestart(*code)) continue;
        reader.Seek(start);
        return start;
    }
}

}  // namespace

JpegStructure WalkJpeg(const FileInput& file) {
    JpegStructure structure;
    Reader reader(file);
    if (reader.Byte() != 0xFF || reader.Byte() != kSoi) return structure;
    for (;;) {
        std::uint64_t markerStart = 0;
        const auto code = NextMarker(reader, markerStart);
        if (!code || *code == kEoi || *code == kSoi) break;
        if (IsRestart(*code) || *code == kTem) continue;  // markers without a length
        const auto length = reader.Word();
        if (!length || *length < 2) break;
        const std::uint64_t segmentEnd =
            reader.Position() + static_cast<std::uint64_t>(*length) - 2;
        if (IsFrame(*code)) {
            if (structure.hasFrame || !ReadFrame(reader, *length, *code, structure)) break;
        } else if (*code == kSos) {
            if (!structure.hasFrame) break;
            JpegScan scan{.start = markerStart};
            if (!ReadScanHeader(reader, *length, scan, structure)) break;
            scan.dataStart = segmentEnd;
            structure.scans.push_back(scan);
            // A single-scan file ends with this scan, and one past the limit is refused.
            if (!structure.multiScan ||
                structure.scans.size() > static_cast<std::size_t>(kMaxJpegScans)) {
                structure.scans.back().dataEnd = file.Size();
                break;
            }
            reader.Seek(segmentEnd);
            structure.scans.back().dataEnd = ScanDataEnd(reader, file);
            continue;
        }
        reader.Seek(segmentEnd);
    }
    return structure;
}

namespace {

std::uint64_t CoefficientBytes(const JpegStructure& structure) {
    std::uint64_t bytes = 0;  // at most 10 components of 2^35 bytes: no overflow
    for (const JpegFrameComponent& component : structure.components)
        bytes += component.coefficientBytes;
    return bytes;
}

}  // namespace

Status CheckJpegWork(const JpegStructure& structure) {
    if (structure.scans.size() > static_cast<std::size_t>(kMaxJpegScans)) {
        return Fail(CodecError::LimitExceeded, "too many progressive scans");
    }
    std::uint64_t blocks = 0;  // no more than 501 scans of 4 x 2^26 blocks: no overflow
    for (const JpegScan& scan : structure.scans) blocks += scan.blocks;
    if (blocks > kMaxJpegScanBlocks) {
        return Fail(CodecError::LimitExceeded,
                    "its scans would decode more blocks than the work limit");
    }
    if (structure.multiScan) {
        if (CoefficientBytes(structure) > kMaxJpegCoefficientBytes) {
            return Fail(CodecError::LimitExceeded,
                        "its coefficients would take more memory than the limit");
        }
    }
    return Done();
}

Status CheckJpegWholeFrame(const JpegStructure& structure, std::uint64_t fileBytes) {
    if (!structure.multiScan || !structure.arithmetic) return Done();
    const std::uint64_t bytes = CoefficientBytes(structure);
    if (bytes > kMinArithmeticCoefficientBytes &&
        DivideRoundingUp(bytes, kCoefficientBytesPerFileByte) > fileBytes) {
        return Fail(CodecError::LimitExceeded,
                    "its arithmetic-coded frame is far larger than its data could fill");
    }
    return Done();
}

Status CheckJpegArithmeticDcWork(const JpegStructure& structure, std::uint64_t fileBytes) {
    if (!structure.arithmetic) return Done();
    std::uint64_t blocks = 0;  // checked against the work limit: no overflow
    for (const JpegScan& scan : structure.scans) {
        if (scan.dc) blocks += scan.blocks;
    }
    if (blocks > kMinArithmeticDcBlocks &&
        DivideRoundingUp(blocks, kDcBlocksPerFileByte) > fileBytes) {
        return Fail(CodecError::LimitExceeded,
                    "its arithmetic-coded DC scans claim far more blocks than its data could fill");
    }
    return Done();
}

int JpegMcuRowHeight(const JpegStructure& structure) {
    return 8 * structure.maxV;
}

int JpegRowsReached(const JpegStructure& structure, bool dcScansOnly) {
    if (structure.arithmetic) return structure.height;
    std::uint64_t mcuRows = 0;
    for (const JpegScan& scan : structure.scans) {
        if (dcScansOnly && !scan.dc) continue;
        // No more than 2^33 bits in a file of at most 1 GiB.
        const std::uint64_t bits = 8 * (std::max(scan.dataEnd, scan.dataStart) - scan.dataStart);
        mcuRows =
            std::max(mcuRows, DivideRoundingUp(bits, std::max<std::uint64_t>(scan.rowBlocks, 1)));
    }
    const std::uint64_t rows = mcuRows * static_cast<std::uint64_t>(JpegMcuRowHeight(structure));
    return static_cast<int>(
        std::min<std::uint64_t>(rows, static_cast<std::uint64_t>(structure.height)));
}

}  // namespace platform::codecs
