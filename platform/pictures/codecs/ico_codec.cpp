#include "platform/pictures/codecs/ico_codec.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/pictures/codecs/byte_reader.h"
#include "platform/pictures/codecs/dib_codec.h"
#include "platform/pictures/codecs/dib_format.h"
#include "platform/pictures/codecs/ico_format.h"
#include "platform/pictures/codecs/limits.h"
#include "platform/pictures/codecs/png_codec.h"

namespace platform::codecs {

namespace {

constexpr int kMaxEntrySide = kMaxIconSide;  // a 0 in the directory's width or height byte
// The most of an entry its description reads: the largest info header, and a PNG's IHDR.
constexpr std::size_t kEntryHeadBytes = kV5HeaderBytes;
constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// ICONDIRENTRY, read field by field. For cursors wPlanes and wBitCount are the hotspot.
struct IconDirEntry {
    std::uint8_t bWidth = 0;
    std::uint8_t bHeight = 0;
    std::uint8_t bColorCount = 0;
    std::uint8_t bReserved = 0;
    std::uint16_t wPlanes = 0;
    std::uint16_t wBitCount = 0;
    std::uint32_t dwBytesInRes = 0;
    std::uint32_t dwImageOffset = 0;
};

// One entry as its own data describes it.
struct Entry {
    IconDirEntry record;
    bool isPng = false;
    DibHeader dib;  // for bitmap entries, with the height of the picture (not doubled)
    int width = 0;
    int height = 0;
    int depth = 0;  // bits per pixel, for choosing between entries of one size
};

struct Directory {
    bool isIcon = true;
    std::vector<Entry> entries;
};

std::uint32_t BigEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

bool StartsWithPng(std::span<const std::uint8_t> data) {
    return data.size() >= sizeof kPngSignature &&
           std::memcmp(data.data(), kPngSignature, sizeof kPngSignature) == 0;
}

// Size and depth of a PNG entry from its IHDR chunk, for choosing; DecodePng checks the rest.
Status DescribePngEntry(std::span<const std::uint8_t> head, Entry& entry) {
    // Signature, chunk length, "IHDR", width, height, bit depth, colour type.
    constexpr std::size_t kIhdrEnd = 8 + 8 + 10;
    if (head.size() < kIhdrEnd) return Fail(CodecError::Truncated, "PNG entry cut short");
    const std::uint32_t width = BigEndian32(head, 16);
    const std::uint32_t height = BigEndian32(head, 20);
    if (Status checked = CheckDimensions(width, height); !checked) return checked;
    entry.width = static_cast<int>(width);
    entry.height = static_cast<int>(height);
    // Samples per pixel by colour type: grey, -, RGB, palette, grey and alpha, -, RGBA.
    constexpr int kSamples[7] = {1, 1, 3, 1, 2, 4, 4};
    const std::uint8_t colourType = head[25];
    entry.depth = head[24] * (colourType < 7 ? kSamples[colourType] : 4);
    return Done();
}

// The header's own checks need no more of the entry than its head: the header and the masks
// that follow a 40-byte one.
Status DescribeBitmapEntry(std::span<const std::uint8_t> head, Entry& entry) {
    auto header = ReadDibHeader(head);
    if (!header) return header.Failure();
    entry.dib = header.Value();
    if (entry.dib.compression != DibCompression::Rgb &&
        entry.dib.compression != DibCompression::Bitfields) {
        return Fail(CodecError::Unsupported, "compressed bitmap in an icon entry");
    }
    // The header's height covers the colour rows and the mask rows below them.
    entry.dib.height /= 2;
    if (entry.dib.height == 0) return Fail(CodecError::BadDimensions, "icon entry has no rows");
    entry.width = entry.dib.width;
    entry.height = entry.dib.height;
    entry.depth = entry.dib.bitCount;
    return Done();
}

// The directory names a size for each entry; the entry's own header says what it holds. When
// they disagree we refuse the file rather than guess which one lies: a picture of another size
// than its directory claims is what a damaged or forged file looks like (hopper_unexpected.ico
// claims 16x32 for a 16x16 picture). The other directory fields (colour count, planes, bit
// count) are often 0 or wrong in files that display everywhere, so for them the header wins.
// A 0 in the directory means 256, and also covers larger PNG entries.
Status CheckSizeAgainstDirectory(const Entry& entry) {
    const auto agrees = [](std::uint8_t stored, int actual) {
        return stored == 0 ? actual >= kMaxEntrySide : actual == stored;
    };
    if (!agrees(entry.record.bWidth, entry.width) || !agrees(entry.record.bHeight, entry.height)) {
        return Fail(CodecError::BadDimensions, "directory and entry disagree about the size");
    }
    return Done();
}

// Reads and checks the whole directory, including each entry's own header, so that a file
// with one bad entry is refused whichever entry would be chosen.
Result<Directory> ReadDirectory(const FileInput& file) {
    std::uint8_t head[kIcoDirectoryBytes];
    ByteReader reader(std::span(head, file.ReadAt(0, head)));
    const auto reserved = reader.U16();
    const auto type = reader.U16();
    const auto count = reader.U16();
    if (!reserved || !type || !count) return Fail(CodecError::Truncated, "directory cut short");
    if (*reserved != 0 || (*type != kIcoTypeIcon && *type != kIcoTypeCursor)) {
        return Fail(CodecError::BadSignature, "not an icon or cursor file");
    }
    if (*count == 0) return Fail(CodecError::BadHeader, "directory has no entries");
    const std::size_t tableEnd = kIcoDirectoryBytes + kIcoEntryBytes * *count;
    if (tableEnd > file.Size()) return Fail(CodecError::Truncated, "directory entries cut short");
    std::vector<std::uint8_t> table(tableEnd - kIcoDirectoryBytes);
    if (file.ReadAt(kIcoDirectoryBytes, table) != table.size()) {
        return Fail(CodecError::Truncated, "directory entries cut short");
    }
    reader = ByteReader(table);

    Directory directory;
    directory.isIcon = *type == kIcoTypeIcon;
    directory.entries.reserve(*count);
    for (std::size_t i = 0; i < *count; ++i) {
        Entry entry;
        IconDirEntry& record = entry.record;
        record.bWidth = *reader.U8();
        record.bHeight = *reader.U8();
        record.bColorCount = *reader.U8();
        record.bReserved = *reader.U8();
        record.wPlanes = *reader.U16();
        record.wBitCount = *reader.U16();
        record.dwBytesInRes = *reader.U32();
        record.dwImageOffset = *reader.U32();

        const auto end = CheckedAdd(record.dwImageOffset, record.dwBytesInRes);
        if (!end) return Fail(CodecError::Overflow, "entry offset plus size does not fit");
        if (record.dwImageOffset < tableEnd) {
            return Fail(CodecError::BadHeader, "entry data overlaps the directory");
        }
        if (*end > file.Size()) return Fail(CodecError::Truncated, "entry data past end of file");
        if (record.dwBytesInRes == 0) return Fail(CodecError::BadHeader, "empty entry");
        // The entry is exactly its bytes: data beyond dwBytesInRes belongs to no one, and a
        // header that needs more than that (mask_1.cur says 8 bytes) is refused as cut short.
        std::uint8_t entryHead[kEntryHeadBytes];
        const std::span<const std::uint8_t> entryStart(
            entryHead,
            file.ReadAt(
                record.dwImageOffset,
                std::span(entryHead, std::min<std::size_t>(kEntryHeadBytes, record.dwBytesInRes))));
        entry.isPng = StartsWithPng(entryStart);
        Status described = entry.isPng ? DescribePngEntry(entryStart, entry)
                                       : DescribeBitmapEntry(entryStart, entry);
        if (described) described = CheckSizeAgainstDirectory(entry);
        if (!described) {
            CodecFailure failure = described.Failure();
            failure.detail = "entry " + std::to_string(i) + ": " + failure.detail;
            return failure;
        }
        directory.entries.push_back(entry);
    }
    return directory;
}

// Exact size first, then the smallest larger one (scaling down looks better than up), then
// the largest smaller one; among entries of one size the deepest colour.
const Entry& ChooseEntry(const std::vector<Entry>& entries, int preferredSize) {
    const auto rank = [preferredSize](const Entry& e) {
        const long long area = static_cast<long long>(e.width) * e.height;
        if (e.width == preferredSize && e.height == preferredSize) return std::pair{0, 0LL};
        if (e.width >= preferredSize && e.height >= preferredSize) return std::pair{1, area};
        return std::pair{2, -area};
    };
    const Entry* best = &entries.front();
    for (const Entry& entry : entries) {
        const auto a = rank(entry);
        const auto b = rank(*best);
        if (a < b || (a == b && entry.depth > best->depth)) best = &entry;
    }
    return *best;
}

Result<IconImage> DecodePngEntry(std::span<const std::uint8_t> data) {
    auto decoded = DecodePng(data);
    if (!decoded) return decoded.Failure();
    IconImage icon;
    icon.colour = std::move(decoded).Value();
    icon.mask = Bitmap(icon.colour.Width(), icon.colour.Height(), PixelFormat::Monochrome);
    if (icon.colour.HasAlpha()) {
        for (int y = 0; y < icon.Height(); ++y) {
            for (int x = 0; x < icon.Width(); ++x) {
                icon.mask.Set(x, y, AlphaOf(icon.colour.At(x, y)) == 0 ? 1 : 0);
            }
        }
    }
    return icon;
}

Result<IconImage> DecodeBitmapEntry(std::span<const std::uint8_t> data) {
    Entry entry;
    if (Status described = DescribeBitmapEntry(data, entry); !described) return described.Failure();
    DibOptions options;
    options.fourthByteIsAlpha = true;
    auto pixels = DecodeDibPixels(entry.dib, data, options);
    if (!pixels) return pixels.Failure();

    IconImage icon;
    icon.colour = std::move(pixels.Value().colour);
    const int width = entry.dib.width;
    const int height = entry.dib.height;
    icon.mask = Bitmap(width, height, PixelFormat::Monochrome);

    IcoBitmapLayout layout;
    layout.maskStart = pixels.Value().endOffset;
    layout.dib = entry.dib;
    const auto hasMask = HasIcoMask(layout, data.size(), icon.colour.HasAlpha());
    if (!hasMask) return hasMask.Failure();
    if (!hasMask.Value()) {
        // The alpha says it all.
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                icon.mask.Set(x, y, AlphaOf(icon.colour.At(x, y)) == 0 ? 1 : 0);
            }
        }
        return icon;
    }
    DecodeIcoMaskRows(data.subspan(layout.maskStart), *DibRowBytes(width, 1), entry.dib.topDown,
                      icon.mask);
    return icon;
}

IcoEntryPlace PlaceOf(const Entry& entry, bool isIcon) {
    IcoEntryPlace place;
    place.offset = entry.record.dwImageOffset;
    place.size = entry.record.dwBytesInRes;
    place.isPng = entry.isPng;
    place.width = entry.width;
    place.height = entry.height;
    place.isIcon = isIcon;
    if (!place.isIcon) {
        place.xHotspot = entry.record.wPlanes;
        place.yHotspot = entry.record.wBitCount;
    }
    place.depth = entry.depth;
    return place;
}

}  // namespace

Result<IcoEntryPlace> ChooseIcoEntry(const FileInput& file, int preferredSize) {
    auto directory = ReadDirectory(file);
    if (!directory) return directory.Failure();
    return PlaceOf(ChooseEntry(directory.Value().entries, preferredSize), directory.Value().isIcon);
}

Result<std::vector<IcoEntryPlace>> ReadIcoEntries(const FileInput& file) {
    auto directory = ReadDirectory(file);
    if (!directory) return directory.Failure();
    std::vector<IcoEntryPlace> places;
    places.reserve(directory.Value().entries.size());
    for (const Entry& entry : directory.Value().entries) {
        places.push_back(PlaceOf(entry, directory.Value().isIcon));
    }
    return places;
}

Result<IcoBitmapLayout> ReadIcoBitmapLayout(std::span<const std::uint8_t> head,
                                            std::uint64_t size) {
    Entry entry;
    if (Status described = DescribeBitmapEntry(head, entry); !described) return described.Failure();
    DibOptions options;
    options.fourthByteIsAlpha = true;
    auto colour = ReadDibLayout(entry.dib, head, size, options);
    if (!colour) return colour.Failure();
    // As DecodeDibPixels measures them.
    const auto rows = MeasureDibRows(entry.dib.width, entry.dib.bitCount, entry.dib.height);
    if (!rows) return rows.Failure();
    if (rows.Value().needed > size - colour.Value().pixelStart) {
        return Fail(CodecError::Truncated, "pixel data cut short");
    }
    IcoBitmapLayout layout;
    layout.dib = entry.dib;
    layout.colour = std::move(colour).Value();
    layout.stride = rows.Value().stride;
    layout.maskStart = layout.colour.pixelStart + rows.Value().all;
    layout.maskStride = *DibRowBytes(entry.dib.width, 1);
    layout.withAlpha = DibKeepsAlpha(entry.dib, options);
    return layout;
}

Result<bool> HasIcoMask(const IcoBitmapLayout& layout, std::uint64_t size, bool usesAlpha) {
    // The AND mask: one bit per pixel, rows padded to 32 bits.
    const std::size_t stride = *DibRowBytes(layout.dib.width, 1);
    const auto maskBytes = CheckedMul(stride, static_cast<std::size_t>(layout.dib.height));
    if (!maskBytes) return Fail(CodecError::Overflow, "mask size does not fit");
    if (layout.maskStart >= size && usesAlpha) return false;
    if (layout.maskStart > size || *maskBytes > size - layout.maskStart) {
        return Fail(CodecError::Truncated, "mask cut short");
    }
    return true;
}

void DecodeIcoMaskRows(std::span<const std::uint8_t> bits, std::size_t stride, bool topDown,
                       Bitmap& mask) {
    const int height = mask.Height();
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* stored = bits.data() + static_cast<std::size_t>(row) * stride;
        const int y = topDown ? row : height - 1 - row;
        for (int x = 0; x < mask.Width(); ++x) mask.Set(x, y, (stored[x / 8] >> (7 - x % 8)) & 1);
    }
}

Result<IconImage> DecodeIcoEntry(const IcoEntryPlace& place, std::span<const std::uint8_t> data) {
    auto icon = place.isPng ? DecodePngEntry(data) : DecodeBitmapEntry(data);
    if (!icon) return icon;
    icon.Value().isIcon = place.isIcon;
    icon.Value().xHotspot = place.xHotspot;
    icon.Value().yHotspot = place.yHotspot;
    return icon;
}

Result<IconImage> DecodeIco(std::span<const std::uint8_t> file, int preferredSize) {
    auto place = ChooseIcoEntry(FileInput(file), preferredSize);
    if (!place) return place.Failure();
    return DecodeIcoEntry(place.Value(), file.subspan(place.Value().offset, place.Value().size));
}

}  // namespace platform::codecs
