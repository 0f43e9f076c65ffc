#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/colour.h"
#include "platform/graphics/handles.h"
#include "platform/graphics/icon_image.h"

namespace platform {

inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;

struct ICONINFO {
    std::int32_t fIcon = 1;
    std::uint32_t xHotspot = 0;
    std::uint32_t yHotspot = 0;
    HBITMAP hbmMask{};
    HBITMAP hbmColor{};
};

// What a device context draws on: a bitmap selected into it (memory and pane contexts), or
// a window, which holds no pixels of its own here but has the display's colour format.
enum class ContextKind { Memory, Window };

struct LiveObjects {
    int contexts = 0;
    int bitmaps = 0;
    int icons = 0;
    bool operator==(const LiveObjects&) const = default;
};

// The graphics device interface: device contexts, bitmaps and icons behind handles. One
// table serves a running program; tests make their own. Calls fail by returning 0 or false,
// never by throwing: callers do not examine the results.
class Gdi {
  public:
    Gdi();
    Gdi(const Gdi&) = delete;
    Gdi& operator=(const Gdi&) = delete;

    // 0 means the screen. A new memory context holds the 1x1 monochrome stock bitmap.
    HDC CreateCompatibleDC(HDC hdc);
    // In the format of what the context draws on: monochrome for a context holding a
    // monochrome bitmap, colour for a window or a context holding a colour bitmap.
    HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
    // Returns the bitmap that was selected before, or 0 on failure.
    HBITMAP SelectObject(HDC hdc, HBITMAP bitmap);
    bool BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int xSrc, int ySrc,
                std::uint32_t rop);
    bool DeleteDC(HDC hdc);
    // Fails for a bitmap still selected into a context, and for the stock bitmap.
    bool DeleteObject(HBITMAP bitmap);
    // Copies both bitmaps; they may be deleted afterwards.
    HICON CreateIconIndirect(const ICONINFO& info);
    bool DestroyIcon(HICON icon);

    COLORREF SetBkColor(HDC hdc, OLE_COLOR colour);
    COLORREF SetTextColor(HDC hdc, OLE_COLOR colour);
    COLORREF GetBkColor(HDC hdc) const;
    COLORREF GetTextColor(HDC hdc) const;

    // Beyond the original interface: what windows, panes and pictures need.
    HDC CreateWindowDC();
    HBITMAP CreateBitmap(Bitmap pixels);
    HICON CreateIcon(IconImage image);
    HBITMAP GetSelectedBitmap(HDC hdc) const;
    const Bitmap* GetBitmap(HBITMAP bitmap) const;
    Bitmap* GetBitmapForWriting(HBITMAP bitmap);
    const IconImage* GetIcon(HICON icon) const;
    HBITMAP StockBitmap() const { return m_stockBitmap; }

    // Objects alive now, the stock bitmap not counted.
    LiveObjects CountLiveObjects() const;

  private:
    struct Context {
        ContextKind kind = ContextKind::Memory;
        HBITMAP selected{};
        COLORREF background = RGB(255, 255, 255);
        COLORREF text = RGB(0, 0, 0);
    };

    std::uint32_t NextHandle() { return ++m_lastHandle; }
    Context* FindContext(HDC hdc);
    const Context* FindContext(HDC hdc) const;
    bool IsSelectedAnywhere(HBITMAP bitmap) const;

    std::uint32_t m_lastHandle = 0;
    std::map<std::uint32_t, Context> m_contexts;
    std::map<std::uint32_t, Bitmap> m_bitmaps;
    std::map<std::uint32_t, IconImage> m_icons;
    HBITMAP m_stockBitmap{};
};

}  // namespace platform
