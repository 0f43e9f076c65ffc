#include "platform/graphics/gdi.h"

#include <algorithm>
#include <utility>

namespace platform {

namespace {

Bitmap AsColour(const Bitmap& bitmap) {
    if (!bitmap.IsMonochrome()) return bitmap;
    Bitmap colour(bitmap.Width(), bitmap.Height(), PixelFormat::Colour);
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            colour.Set(x, y, bitmap.At(x, y) ? 0xFFFFFF : 0);
        }
    }
    return colour;
}

Bitmap AsMask(const Bitmap& bitmap, int width, int height) {
    Bitmap mask(width, height, PixelFormat::Monochrome);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!bitmap.Contains(x, y)) continue;
            const std::uint32_t p = bitmap.At(x, y);
            mask.Set(x, y, bitmap.IsMonochrome() ? (p ? 1 : 0) : (ColourOf(p) == 0xFFFFFF ? 1 : 0));
        }
    }
    return mask;
}

}  // namespace

Gdi::Gdi() {
    m_stockBitmap = HBITMAP{NextHandle()};
    m_bitmaps.emplace(HandleValue(m_stockBitmap), Bitmap(1, 1, PixelFormat::Monochrome));
}

Gdi::Context* Gdi::FindContext(HDC hdc) {
    auto it = m_contexts.find(HandleValue(hdc));
    return it == m_contexts.end() ? nullptr : &it->second;
}

const Gdi::Context* Gdi::FindContext(HDC hdc) const {
    auto it = m_contexts.find(HandleValue(hdc));
    return it == m_contexts.end() ? nullptr : &it->second;
}

HDC Gdi::CreateCompatibleDC(HDC hdc) {
    if (!IsNull(hdc) && !FindContext(hdc)) return HDC{};
    const HDC created{NextHandle()};
    m_contexts.emplace(HandleValue(created), Context{ContextKind::Memory, m_stockBitmap});
    return created;
}

HDC Gdi::CreateWindowDC() {
    const HDC created{NextHandle()};
    m_contexts.emplace(HandleValue(created), Context{ContextKind::Window, HBITMAP{}});
    return created;
}

HBITMAP Gdi::CreateCompatibleBitmap(HDC hdc, int width, int height) {
    const Context* context = FindContext(hdc);
    if (!context || width <= 0 || height <= 0) return HBITMAP{};
    PixelFormat format = PixelFormat::Colour;
    if (context->kind == ContextKind::Memory) {
        const Bitmap* selected = GetBitmap(context->selected);
        if (selected && selected->IsMonochrome()) format = PixelFormat::Monochrome;
    }
    return CreateBitmap(Bitmap(width, height, format));
}

HBITMAP Gdi::CreateBitmap(Bitmap pixels) {
    const HBITMAP created{NextHandle()};
    m_bitmaps.emplace(HandleValue(created), std::move(pixels));
    return created;
}

HICON Gdi::CreateIcon(IconImage image) {
    const HICON created{NextHandle()};
    m_icons.emplace(HandleValue(created), std::move(image));
    return created;
}

bool Gdi::IsSelectedAnywhere(HBITMAP bitmap) const {
    return std::any_of(m_contexts.begin(), m_contexts.end(),
                       [&](const auto& entry) { return entry.second.selected == bitmap; });
}

HBITMAP Gdi::SelectObject(HDC hdc, HBITMAP bitmap) {
    Context* context = FindContext(hdc);
    if (!context || context->kind != ContextKind::Memory || !GetBitmap(bitmap)) return HBITMAP{};
    // A bitmap can be selected into one context at a time.
    if (bitmap != m_stockBitmap && bitmap != context->selected && IsSelectedAnywhere(bitmap)) {
        return HBITMAP{};
    }
    const HBITMAP previous = context->selected;
    context->selected = bitmap;
    return previous;
}

bool Gdi::BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int xSrc, int ySrc,
                 std::uint32_t rop) {
    if (rop != SRCCOPY) return false;
    const Context* destContext = FindContext(dest);
    const Context* sourceContext = FindContext(source);
    if (!destContext || !sourceContext) return false;
    Bitmap* target = GetBitmapForWriting(destContext->selected);
    const Bitmap* found = GetBitmap(sourceContext->selected);
    if (!target || !found) return false;
    const Bitmap from = *found;  // the source may be the target itself

    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            const int sx = xSrc + i, sy = ySrc + j, dx = x + i, dy = y + j;
            if (!from.Contains(sx, sy) || !target->Contains(dx, dy)) continue;
            const std::uint32_t p = from.At(sx, sy);
            std::uint32_t out;
            if (from.IsMonochrome() == target->IsMonochrome()) {
                out = from.IsMonochrome() ? p : ColourOf(p);
            } else if (target->IsMonochrome()) {
                // Colour to monochrome: the source context's background colour becomes 1.
                out = ColourOf(p) == sourceContext->background ? 1 : 0;
            } else {
                // Monochrome to colour: 1 takes the destination's background, 0 its text colour.
                out = p ? destContext->background : destContext->text;
            }
            target->Set(dx, dy, out);
        }
    }
    return true;
}

bool Gdi::DeleteDC(HDC hdc) {
    return m_contexts.erase(HandleValue(hdc)) == 1;
}

bool Gdi::DeleteObject(HBITMAP bitmap) {
    if (bitmap == m_stockBitmap || IsSelectedAnywhere(bitmap)) return false;
    return m_bitmaps.erase(HandleValue(bitmap)) == 1;
}

HICON Gdi::CreateIconIndirect(const ICONINFO& info) {
    const Bitmap* mask = GetBitmap(info.hbmMask);
    const Bitmap* colour = GetBitmap(info.hbmColor);
    if (!mask || !colour) return HICON{};
    IconImage image;
    image.colour = AsColour(*colour);
    image.mask = AsMask(*mask, colour->Width(), colour->Height());
    image.isIcon = info.fIcon != 0;
    image.xHotspot = static_cast<int>(info.xHotspot);
    image.yHotspot = static_cast<int>(info.yHotspot);
    return CreateIcon(std::move(image));
}

bool Gdi::DestroyIcon(HICON icon) {
    return m_icons.erase(HandleValue(icon)) == 1;
}

COLORREF Gdi::SetBkColor(HDC hdc, OLE_COLOR colour) {
    Context* context = FindContext(hdc);
    if (!context) return 0;
    return std::exchange(context->background, ResolveColour(colour));
}

COLORREF Gdi::SetTextColor(HDC hdc, OLE_COLOR colour) {
    Context* context = FindContext(hdc);
    if (!context) return 0;
    return std::exchange(context->text, ResolveColour(colour));
}

COLORREF Gdi::GetBkColor(HDC hdc) const {
    const Context* context = FindContext(hdc);
    return context ? context->background : 0;
}

COLORREF Gdi::GetTextColor(HDC hdc) const {
    const Context* context = FindContext(hdc);
    return context ? context->text : 0;
}

HBITMAP Gdi::GetSelectedBitmap(HDC hdc) const {
    const Context* context = FindContext(hdc);
    return context ? context->selected : HBITMAP{};
}

const Bitmap* Gdi::GetBitmap(HBITMAP bitmap) const {
    auto it = m_bitmaps.find(HandleValue(bitmap));
    return it == m_bitmaps.end() ? nullptr : &it->second;
}

Bitmap* Gdi::GetBitmapForWriting(HBITMAP bitmap) {
    if (bitmap == m_stockBitmap) return nullptr;
    auto it = m_bitmaps.find(HandleValue(bitmap));
    return it == m_bitmaps.end() ? nullptr : &it->second;
}

const IconImage* Gdi::GetIcon(HICON icon) const {
    auto it = m_icons.find(HandleValue(icon));
    return it == m_icons.end() ? nullptr : &it->second;
}

LiveObjects Gdi::CountLiveObjects() const {
    return LiveObjects{static_cast<int>(m_contexts.size()),
                       static_cast<int>(m_bitmaps.size()) - 1,  // less the stock bitmap
                       static_cast<int>(m_icons.size())};
}

}  // namespace platform
