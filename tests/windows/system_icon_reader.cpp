// The system's own icon reader against ours. Each entry of each icon or cursor named is made
// an icon by the system from its bytes (CreateIconFromResourceEx), and each size of the file
// is loaded from the file (LoadImageW, LR_LOADFROMFILE), which takes the deepest entry of that
// size. Each is drawn with DrawIconEx over black and over white, where it must match our
// decoding of the entry drawn over the same: alpha blending may round one level apart.
// Usage: system_icon_reader FILE...   Exits 1 when a drawing differs or a file is refused.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/graphics/icon_image.h"
#include "platform/pictures/codecs/file_input.h"
#include "platform/pictures/codecs/ico_codec.h"
#include "platform/wide_text.h"

namespace {

namespace codecs = platform::codecs;

// Blending by alpha is rounded by the system in its own way.
constexpr int kTolerance = 1;
constexpr std::uint32_t kBackgrounds[] = {0x000000, 0xFFFFFF};

// What the system drew over `background`, as 0x00BBGGRR pixels, top row first.
std::vector<std::uint32_t> DrawnBySystem(HICON icon, int width, int height,
                                         std::uint32_t background) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP surface = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<std::uint32_t> pixels;
    if (!surface) {
        DeleteDC(dc);
        return pixels;
    }
    HGDIOBJ old = SelectObject(dc, surface);
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    auto* surfacePixels = static_cast<std::uint32_t*>(bits);
    std::fill(surfacePixels, surfacePixels + count,
              background);  // black or white in any byte order
    if (DrawIconEx(dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL)) {
        GdiFlush();
        pixels.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t bgra = surfacePixels[i];
            pixels.push_back(((bgra >> 16) & 0xFF) | (bgra & 0xFF00) | ((bgra & 0xFF) << 16));
        }
    }
    SelectObject(dc, old);
    DeleteObject(surface);
    DeleteDC(dc);
    return pixels;
}

int LargestDifference(std::uint32_t a, std::uint32_t b) {
    int largest = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        largest = std::max(largest, std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                             static_cast<int>((b >> shift) & 0xFF)));
    }
    return largest;
}

// Compares the system's drawings of `icon` with ours; prints one line, true when they match.
bool Compare(const std::string& what, HICON icon, const platform::IconImage& ours) {
    if (!icon) {
        std::printf("%s: refused by the system (error %lu)\n", what.c_str(), GetLastError());
        return false;
    }
    int worst = 0;
    int differing = 0;
    std::string first;
    for (const std::uint32_t background : kBackgrounds) {
        const std::vector<std::uint32_t> drawn =
            DrawnBySystem(icon, ours.Width(), ours.Height(), background);
        if (drawn.empty()) {
            std::printf("%s: the system could not draw it\n", what.c_str());
            return false;
        }
        platform::Bitmap expected(ours.Width(), ours.Height(), platform::PixelFormat::Colour,
                                  background);
        platform::DrawIcon(ours, expected, 0, 0);
        std::size_t next = 0;  // the drawn pixels come top row first, as we walk them
        for (int y = 0; y < ours.Height(); ++y) {
            for (int x = 0; x < ours.Width(); ++x) {
                const std::uint32_t theirs = drawn[next++];
                const std::uint32_t mine = platform::ColourOf(expected.At(x, y));
                const int difference = LargestDifference(theirs, mine);
                worst = std::max(worst, difference);
                if (difference <= kTolerance) continue;
                if (differing++ == 0) {
                    char text[128];
                    std::snprintf(text, sizeof text, " first at %d,%d over %06X: %06X, ours %06X",
                                  x, y, background, theirs, mine);
                    first = text;
                }
            }
        }
    }
    if (differing == 0) {
        std::printf("%s: drawn as we decode it (largest difference %d)\n", what.c_str(), worst);
        return true;
    }
    std::printf("%s: %d pixels differ,%s\n", what.c_str(), differing, first.c_str());
    return false;
}

// The entry as a resource: a cursor's bitmap follows its hot spot.
HICON FromResource(std::vector<std::uint8_t> data, const codecs::IcoEntryPlace& entry) {
    if (!entry.isIcon) {
        const std::uint16_t hotspot[2] = {static_cast<std::uint16_t>(entry.xHotspot),
                                          static_cast<std::uint16_t>(entry.yHotspot)};
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(hotspot);
        data.insert(data.begin(), bytes, bytes + sizeof hotspot);
    }
    return CreateIconFromResourceEx(data.data(), static_cast<DWORD>(data.size()), entry.isIcon,
                                    0x00030000, entry.width, entry.height, LR_DEFAULTCOLOR);
}

void Destroy(HICON icon, bool isIcon) {
    if (!icon) return;
    if (isIcon) {
        DestroyIcon(icon);
    } else {
        DestroyCursor(icon);
    }
}

bool CheckFile(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(stream), {}};
    auto entries = codecs::ReadIcoEntries(codecs::FileInput(bytes));
    if (!entries) {
        std::printf("%s: refused by our reader (%s)\n", path.c_str(),
                    codecs::Describe(entries.Failure()).c_str());
        return false;
    }
    std::wstring widePath;
    if (!platform::ToWide(path, widePath)) return false;
    bool allMatch = true;
    const std::vector<codecs::IcoEntryPlace>& places = entries.Value();
    for (std::size_t i = 0; i < places.size(); ++i) {
        const codecs::IcoEntryPlace& entry = places[i];
        const auto start = bytes.begin() + static_cast<std::ptrdiff_t>(entry.offset);
        const std::vector<std::uint8_t> data(start, start + entry.size);
        auto ours = codecs::DecodeIcoEntry(entry, data);
        const std::string what = path + " entry " + std::to_string(i) + ", " +
                                 std::to_string(entry.width) + "x" + std::to_string(entry.height) +
                                 " " + std::to_string(entry.depth) + "-bit " +
                                 (entry.isPng ? "PNG" : "BMP");
        if (!ours) {
            std::printf("%s: refused by our reader (%s)\n", what.c_str(),
                        codecs::Describe(ours.Failure()).c_str());
            allMatch = false;
            continue;
        }
        HICON made = FromResource(data, entry);
        allMatch = Compare(what + " from its bytes", made, ours.Value()) && allMatch;
        Destroy(made, entry.isIcon);

        // Loaded from the file at its size, the system takes the deepest entry of that size.
        const bool deepest = std::none_of(places.begin(), places.end(), [&](const auto& other) {
            return &other != &entry && other.width == entry.width && other.height == entry.height &&
                   (other.depth > entry.depth || (other.depth == entry.depth && &other < &entry));
        });
        if (!deepest) continue;
        HICON loaded = static_cast<HICON>(LoadImageW(nullptr, widePath.c_str(),
                                                     entry.isIcon ? IMAGE_ICON : IMAGE_CURSOR,
                                                     entry.width, entry.height, LR_LOADFROMFILE));
        allMatch = Compare(what + " loaded from the file", loaded, ours.Value()) && allMatch;
        Destroy(loaded, entry.isIcon);
    }
    return allMatch;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: system_icon_reader FILE...\n");
        return 2;
    }
    bool allMatch = true;
    for (int i = 1; i < argc; ++i) allMatch = CheckFile(argv[i]) && allMatch;
    return allMatch ? 0 : 1;
}
