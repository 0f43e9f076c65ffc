#pragma once

#include "platform/graphics/bitmap.h"
#include "platform/graphics/colour.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

// Draws the bitmap with its top-left corner at (x, y) through SetDIBitsToDevice. A bitmap with
// alpha is laid over the colour `below` first, since the call copies pixels as they are.
void DrawBitmap(::HDC dc, int x, int y, const Bitmap& bitmap, COLORREF below);

// A window icon of the bitmap, with its alpha; null for an empty bitmap. The caller destroys it.
::HICON CreateWindowIcon(const Bitmap& bitmap);

}  // namespace platform::win32
