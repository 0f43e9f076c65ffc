#include "platform/pictures/codecs/ico_set_encoder.h"

#include "platform/pictures/codecs/byte_writer.h"
#include "platform/pictures/codecs/ico_encoder.h"
#include "platform/pictures/codecs/ico_format.h"
#include "platform/pictures/codecs/limits.h"
#include "platform/pictures/codecs/png_encoder.h"

namespace platform::codecs {

namespace {

// The format counts entries in 16 bits; an icon of more is no icon anyone reads.
constexpr std::size_t kMostEntries = 256;

bool FitsAnEntry(const IconImage& icon) {
    return icon.Width() >= 1 && icon.Height() >= 1 && icon.Width() <= kMaxIconSide &&
           icon.Height() <= kMaxIconSide && icon.mask.Width() == icon.Width() &&
           icon.mask.Height() == icon.Height();
}

}  // namespace

Result<std::vector<std::uint8_t>> EncodeIconSet(const std::vector<IconSetEntry>& entries,
                                                bool cursor) {
    if (entries.empty() || entries.size() > kMostEntries) {
        return Fail(CodecError::BadDimensions, "an icon holds 1 to 256 entries");
    }
    // Each entry's data first, so that the directory can say where each lies and how long.
    std::vector<std::vector<std::uint8_t>> data;
    for (const IconSetEntry& entry : entries) {
        if (!FitsAnEntry(entry.icon)) {
            return Fail(CodecError::BadDimensions, "icons are 1 to 256 pixels a side");
        }
        if (!entry.asPng) {
            std::vector<std::uint8_t> dib;
            dib.reserve(IconDib32Bytes(entry.icon));
            PutIconDib32(dib, entry.icon);
            data.push_back(std::move(dib));
            continue;
        }
        auto png = EncodePng(entry.icon.colour);
        if (!png) return png.Failure();
        data.push_back(std::move(png).Value());
    }

    std::vector<std::uint8_t> out;
    PutU16(out, 0);
    PutU16(out, cursor ? kIcoTypeCursor : kIcoTypeIcon);
    PutU16(out, static_cast<std::uint32_t>(entries.size()));
    std::size_t offset = kIcoDirectoryBytes + kIcoEntryBytes * entries.size();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const IconImage& icon = entries[i].icon;
        const std::optional<std::size_t> end = CheckedAdd(offset, data[i].size());
        if (!end || *end > 0xFFFFFFFFu) return Fail(CodecError::Overflow, "icon file over 4 GiB");
        // A byte holds up to 255; 256 is written as 0.
        out.push_back(static_cast<std::uint8_t>(icon.Width() % kMaxIconSide));
        out.push_back(static_cast<std::uint8_t>(icon.Height() % kMaxIconSide));
        out.push_back(0);  // no palette
        out.push_back(0);
        // An icon's planes and bit count; a cursor's hot spot.
        PutU16(out, cursor ? static_cast<std::uint32_t>(icon.xHotspot) : 1);
        PutU16(out, cursor ? static_cast<std::uint32_t>(icon.yHotspot) : 32);
        PutU32(out, static_cast<std::uint32_t>(data[i].size()));
        PutU32(out, static_cast<std::uint32_t>(offset));
        offset = *end;
    }
    for (const std::vector<std::uint8_t>& bytes : data)
        out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

}  // namespace platform::codecs
