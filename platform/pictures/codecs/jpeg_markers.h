#pragma once

// The JPEG markers the structure walker and the DC reader tell apart: the byte after FF.
namespace platform::codecs::jpeg_marker {

constexpr int kSof0 = 0xC0;
constexpr int kSof2 = 0xC2;
constexpr int kDht = 0xC4;
constexpr int kJpg = 0xC8;
constexpr int kSof10 = 0xCA;
constexpr int kDac = 0xCC;
constexpr int kRst0 = 0xD0;
constexpr int kSoi = 0xD8;
constexpr int kEoi = 0xD9;
constexpr int kSos = 0xDA;
constexpr int kDqt = 0xDB;
constexpr int kDnl = 0xDC;
constexpr int kDri = 0xDD;
constexpr int kApp0 = 0xE0;
constexpr int kApp14 = 0xEE;
constexpr int kCom = 0xFE;
constexpr int kTem = 0x01;

constexpr bool IsRestart(int code) {
    return code >= kRst0 && code <= kRst0 + 7;
}

// SOF0 to SOF15 but DHT, JPG and DAC, which share the range.
constexpr bool IsFrame(int code) {
    return code >= kSof0 && code <= 0xCF && code != kDht && code != kJpg && code != kDac;
}

constexpr bool IsApp(int code) {
    return code >= kApp0 && code <= 0xEF;
}

}  // namespace platform::codecs::jpeg_marker
