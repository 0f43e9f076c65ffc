#include "platform/pictures/codecs/jpeg_dc_eighth.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/pictures/codecs/jpeg_cmyk.h"
#include "platform/pictures/codecs/jpeg_dc_plan.h"
#include "platform/pictures/codecs/jpeg_dc_scan.h"
#include "platform/pictures/codecs/limits.h"

namespace platform::codecs {

namespace {

int DivideRoundingUp(long long a, long long b) {
    return static_cast<int>((a + b - 1) / b);
}

// libjpeg's 1 x 1 inverse DCT: the dequantised DC value descaled by 8, then its range limit,
// which takes the result modulo 1024 as a signed value and clamps it after the level shift.
std::uint8_t Sample(std::int16_t dc, std::int16_t step) {
    const int value = ((int{dc} * int{step} + 4) >> 3) & 1023;
    if (value < 128) return static_cast<std::uint8_t>(value + 128);
    if (value < 512) return 255;
    if (value < 896) return 0;
    return static_cast<std::uint8_t>(value - 896);
}

std::uint8_t Clamp(int value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

std::uint32_t Rgb(int r, int g, int b) {
    return 0xFF000000u | static_cast<std::uint32_t>(b) << 16 | static_cast<std::uint32_t>(g) << 8 |
           static_cast<std::uint32_t>(r);
}

// libjpeg's YCbCr to RGB tables: 16-bit fixed point, rounded as it rounds them.
class YccTables {
  public:
    YccTables() {
        for (int i = 0; i < 256; ++i) {
            const int x = i - 128;
            m_crR[static_cast<std::size_t>(i)] = (91881 * x + kHalf) >> 16;
            m_cbB[static_cast<std::size_t>(i)] = (116130 * x + kHalf) >> 16;
            m_crG[static_cast<std::size_t>(i)] = -46802 * x;
            m_cbG[static_cast<std::size_t>(i)] = -22554 * x + kHalf;
        }
    }
    // R, G and B before their range limit.
    std::array<int, 3> Convert(int y, std::uint8_t cb, std::uint8_t cr) const {
        return {y + m_crR[cr], y + ((m_cbG[cb] + m_crG[cr]) >> 16), y + m_cbB[cb]};
    }

  private:
    static constexpr int kHalf = 1 << 15;
    std::array<int, 256> m_crR{}, m_cbB{}, m_crG{}, m_cbG{};
};

class Converter {
  public:
    explicit Converter(const JpegDcPlan& plan) : m_colours(plan.colours), m_adobe(plan.adobe) {}

    std::uint32_t Pixel(const std::uint8_t* s) const {
        switch (m_colours) {
            case JpegColours::Grey:
                return Rgb(s[0], s[0], s[0]);
            case JpegColours::Rgb:
                return Rgb(s[0], s[1], s[2]);
            case JpegColours::YCbCr: {
                const auto rgb = m_ycc.Convert(s[0], s[1], s[2]);
                return Rgb(Clamp(rgb[0]), Clamp(rgb[1]), Clamp(rgb[2]));
            }
            case JpegColours::Cmyk:
                return CmykPixel({s[0], s[1], s[2], s[3]}, m_adobe);
            case JpegColours::Ycck: {
                // libjpeg turns YCCK into CMYK: the colour's complement, K as it is.
                const auto rgb = m_ycc.Convert(s[0], s[1], s[2]);
                return CmykPixel(
                    {Clamp(255 - rgb[0]), Clamp(255 - rgb[1]), Clamp(255 - rgb[2]), s[3]}, m_adobe);
            }
        }
        return 0;
    }

  private:
    JpegColours m_colours;
    bool m_adobe;
    YccTables m_ycc;
};

}  // namespace

Status DecodeJpegDcEighth(const FileInput& file, const JpegStructure& structure, int frameHeight,
                          RowSink& sink) {
    if (structure.hasFrame) {
        if (Status checked = CheckDimensions(structure.width, structure.height); !checked)
            return checked;
    }
    if (Status checked = CheckJpegWork(structure); !checked) return checked;
    if (Status checked = CheckJpegArithmeticDcWork(structure, file.Size()); !checked)
        return checked;
    const auto read = ReadJpegDcPlan(file, structure);
    if (!read) return read.Failure();
    const JpegDcPlan& plan = read.Value();
    if (plan.scans.front().dataStart >= file.Size())
        return Fail(CodecError::Truncated, "no scan data after the header");

    const int decodedHeight = frameHeight != 0 ? std::min(frameHeight, plan.height) : plan.height;
    const int mcuRows = DivideRoundingUp(decodedHeight, 8LL * plan.maxV);
    const int mcus = DivideRoundingUp(plan.width, 8LL * plan.maxH);
    const int width = DivideRoundingUp(plan.width, 8);
    const int decodedRows = DivideRoundingUp(decodedHeight, 8);

    std::vector<JpegDcScanDecoder> scans;
    scans.reserve(plan.scans.size());
    for (const JpegDcScan& scan : plan.scans) scans.emplace_back(file, plan, scan);
    const std::size_t count = plan.components.size();
    std::vector<JpegDcRow> blocks(count);
    std::vector<std::vector<std::uint8_t>> samples(count);
    for (std::size_t c = 0; c < count; ++c) {
        blocks[c].columns = mcus * plan.components[c].h;
        blocks[c].rows = plan.components[c].v;
        blocks[c].dc.resize(static_cast<std::size_t>(blocks[c].columns) *
                            static_cast<std::size_t>(blocks[c].rows));
        samples[c].resize(blocks[c].dc.size());
    }
    // Which block of each component every pixel of a row takes.
    std::vector<std::vector<std::size_t>> columnOf(count);
    for (std::size_t c = 0; c < count; ++c) {
        for (int x = 0; x < width; ++x)
            columnOf[c].push_back(static_cast<std::size_t>(x * plan.components[c].h / plan.maxH));
    }
    const Converter converter(plan);
    // The pixel rows of one MCU row.
    std::vector<std::uint32_t> rows(static_cast<std::size_t>(width) *
                                    static_cast<std::size_t>(plan.maxV));
    const auto rowOf = [&](int line) {
        return rows.data() + static_cast<std::size_t>(line) * static_cast<std::size_t>(width);
    };
    std::uint8_t pixel[4] = {};

    sink.Start(width, DivideRoundingUp(plan.height, 8));
    // Arithmetic-coded data can stand for any number of rows in a few bytes. Once no scan has
    // anything left to change, the MCU rows after the next are that one over again, and are
    // handed on without being decoded.
    bool settled = false, repeating = false;
    int lastRow = 0;
    for (int mcuRow = 0; mcuRow < mcuRows; ++mcuRow) {
        if (!repeating) {
            repeating = settled;
            for (JpegDcRow& component : blocks)
                std::fill(component.dc.begin(), component.dc.end(), 0);
            for (JpegDcScanDecoder& scan : scans) {
                if (Status decoded = scan.DecodeRow(mcuRow, blocks); !decoded) return decoded;
            }
            settled = std::all_of(scans.begin(), scans.end(),
                                  [](const JpegDcScanDecoder& scan) { return scan.Settled(); });
            for (std::size_t c = 0; c < count; ++c) {
                const std::int16_t step = plan.components[c].dcStep;
                std::transform(blocks[c].dc.begin(), blocks[c].dc.end(), samples[c].begin(),
                               [step](std::int16_t dc) { return Sample(dc, step); });
            }
            // Each block is a pixel, repeated to the largest sampling as libjpeg's upsampler
            // repeats samples at this scale.
            for (int line = 0; line < plan.maxV; ++line) {
                const std::uint8_t* lines[4] = {};
                for (std::size_t c = 0; c < count; ++c) {
                    const int blockRow = line * plan.components[c].v / plan.maxV;
                    lines[c] = samples[c].data() + static_cast<std::size_t>(blockRow) *
                                                       static_cast<std::size_t>(blocks[c].columns);
                }
                std::uint32_t* row = rowOf(line);
                for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) {
                    for (std::size_t c = 0; c < count; ++c) pixel[c] = lines[c][columnOf[c][x]];
                    row[x] = converter.Pixel(pixel);
                }
            }
        }
        for (int line = 0; line < plan.maxV; ++line) {
            const int y = mcuRow * plan.maxV + line;
            if (y >= decodedRows) break;
            sink.Row(y, rowOf(line));
            lastRow = line;
        }
    }
    for (int y = decodedRows; y < DivideRoundingUp(plan.height, 8); ++y)
        sink.Row(y, rowOf(lastRow));
    return Done();
}

}  // namespace platform::codecs
