#include "platform/forms/picture_box.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/platform_error.h"

namespace platform {

namespace {

constexpr int kBorderEachWay = 2 * PictureBox::kBorder;

// A coordinate in the pane's pixels: the pixel that contains it, clamped to [low, high]
// so that huge or non-finite values never overflow an int.
int ToPixel(float value, int low, int high) {
    if (std::isnan(value)) return low;
    const double floored = std::floor(static_cast<double>(value));
    return static_cast<int>(
        std::clamp(floored, static_cast<double>(low), static_cast<double>(high)));
}

// Drawing with a value that names no colour fails, as the runtime's drawing methods do.
COLORREF DrawingColour(OLE_COLOR colour) {
    if (!IsValidColour(colour)) throw PlatformError(ErrorNumber::InvalidPropertyValue);
    return ResolveColour(colour);
}

}  // namespace

PictureBox::PictureBox(Gdi& gdi, std::string name) : Control(std::move(name)), m_gdi(gdi) {
    m_hdc = m_gdi.CreateCompatibleDC(HDC{});
    m_surface = m_gdi.CreateBitmap(Bitmap(0, 0, PixelFormat::Colour));
    m_gdi.SelectObject(m_hdc, m_surface);
    m_gdi.SetBkColor(m_hdc, m_backColor);
    m_gdi.SetTextColor(m_hdc, m_foreColor);
}

PictureBox::~PictureBox() {
    // Deleting the context first frees the surface from it.
    m_gdi.DeleteDC(m_hdc);
    m_gdi.DeleteObject(m_surface);
}

int PictureBox::InnerWidth() const {
    return std::max(Width() - kBorderEachWay, 0);
}
int PictureBox::InnerHeight() const {
    return std::max(Height() - kBorderEachWay, 0);
}

Bitmap PictureBox::Composed(int width, int height) const {
    Bitmap composed(width, height, PixelFormat::Colour, ResolveColour(m_backColor));
    m_picture.Render(composed);
    return composed;
}

Bitmap& PictureBox::Surface() {
    Bitmap* surface = m_gdi.GetBitmapForWriting(m_surface);
    if (!m_current || surface->Width() != InnerWidth() || surface->Height() != InnerHeight()) {
        *surface = Composed(InnerWidth(), InnerHeight());
        m_current = true;
    }
    return *surface;
}

Bitmap PictureBox::ShownPart(int x, int y, int width, int height) {
    const int left = std::clamp(x, 0, InnerWidth());
    const int top = std::clamp(y, 0, InnerHeight());
    const int right = std::clamp(x + std::max(width, 0), left, InnerWidth());
    const int bottom = std::clamp(y + std::max(height, 0), top, InnerHeight());
    const Bitmap* surface = m_gdi.GetBitmap(m_surface);
    if (m_current && surface->Width() == InnerWidth() && surface->Height() == InnerHeight()) {
        return surface->Crop(left, top, right - left, bottom - top);
    }
    // Background and picture are anchored at the top-left, so the part is the top-left
    // composition cut at its corner.
    return Composed(right, bottom).Crop(left, top, right - left, bottom - top);
}

void PictureBox::Resized() {
    Bitmap* surface = m_gdi.GetBitmapForWriting(m_surface);
    if (m_autoRedraw && m_current) {
        // The persistent image keeps what was drawn where it still fits. Background and
        // picture are anchored at the top-left, so the old overlap is exactly right.
        Bitmap resized = Composed(InnerWidth(), InnerHeight());
        const int w = std::min(surface->Width(), resized.Width());
        const int h = std::min(surface->Height(), resized.Height());
        for (int y = 0; y < h; ++y) std::copy_n(surface->Row(y), w, resized.Row(y));
        *surface = std::move(resized);
    } else {
        // The screen repaints at the new size; until something reads it, hold no pixels.
        *surface = Bitmap(0, 0, PixelFormat::Colour);
        Repaint();
    }
}

void PictureBox::SetPicture(Picture picture) {
    m_picture = std::move(picture);
    Repaint();
    if (m_autoSize && !m_picture.IsEmpty()) {
        Move(Left(), Top(),
             m_picture.Width() + std::min(kBorderEachWay, INT_MAX - m_picture.Width()),
             m_picture.Height() + std::min(kBorderEachWay, INT_MAX - m_picture.Height()));
    }
    Notify();
}

Picture PictureBox::Image() {
    if (m_autoRedraw) return Picture::FromBitmap(Surface());
    return Picture::FromBitmap(Composed(InnerWidth(), InnerHeight()));
}

HDC PictureBox::hDC() {
    Surface();
    return m_hdc;
}

void PictureBox::SetAutoSize(bool autoSize) {
    m_autoSize = autoSize;
    if (m_autoSize && !m_picture.IsEmpty()) SetPicture(m_picture);
}

void PictureBox::SetAutoRedraw(bool autoRedraw) {
    if (autoRedraw == m_autoRedraw) return;
    m_autoRedraw = autoRedraw;
    Repaint();
    Notify();
}

void PictureBox::SetBackColor(OLE_COLOR colour) {
    m_backColor = colour;
    m_gdi.SetBkColor(m_hdc, colour);
    Repaint();
    Notify();
}

void PictureBox::SetForeColor(OLE_COLOR colour) {
    m_foreColor = colour;
    m_gdi.SetTextColor(m_hdc, colour);
}

bool PictureBox::InsideInnerArea(float x, float y) const {
    return x >= 0 && y >= 0 && x < static_cast<float>(InnerWidth()) &&
           y < static_cast<float>(InnerHeight());
}

std::int32_t PictureBox::Point(float x, float y) {
    if (!InsideInnerArea(x, y)) return -1;
    const Bitmap& surface = Surface();
    const int px = ToPixel(x, 0, surface.Width() - 1);
    const int py = ToPixel(y, 0, surface.Height() - 1);
    return static_cast<std::int32_t>(ColourOf(surface.At(px, py)));
}

void PictureBox::PSet(float x, float y) {
    PSet(x, y, m_foreColor);
}

void PictureBox::PSet(float x, float y, OLE_COLOR colour) {
    const COLORREF resolved = DrawingColour(colour);
    if (!InsideInnerArea(x, y)) return;
    Bitmap& surface = Surface();
    surface.Set(ToPixel(x, 0, surface.Width() - 1), ToPixel(y, 0, surface.Height() - 1), resolved);
    Notify();
}

void PictureBox::Line(float x1, float y1, float x2, float y2, OLE_COLOR colour) {
    const COLORREF resolved = DrawingColour(colour);
    const int w = InnerWidth();
    const int h = InnerHeight();
    // Clamping one step beyond each edge keeps a box that lies wholly outside empty.
    const int ax = ToPixel(x1, -1, w), bx = ToPixel(x2, -1, w);
    const int ay = ToPixel(y1, -1, h), by = ToPixel(y2, -1, h);
    const int left = std::max(std::min(ax, bx), 0), right = std::min(std::max(ax, bx), w - 1);
    const int top = std::max(std::min(ay, by), 0), bottom = std::min(std::max(ay, by), h - 1);
    if (left > right || top > bottom) return;
    Bitmap& surface = Surface();
    for (int y = top; y <= bottom; ++y)
        std::fill_n(surface.Row(y) + left, right - left + 1, resolved);
    Notify();
}

void PictureBox::Refresh() {
    if (!m_autoRedraw) Repaint();
    Notify();
}

}  // namespace platform
