// The client area's own drawing: the background colour, then image controls and lines in
// creation order, beneath every child window.
#include "platform/forms/image_control.h"
#include "platform/forms/line_control.h"
#include "platform/win32/dib_drawing.h"
#include "platform/win32/form_window.h"

namespace platform::win32 {

namespace {

void Fill(::HDC dc, int left, int top, int width, int height, COLORREF colour) {
    const ::RECT area{left, top, left + width, top + height};
    GdiObject<::HBRUSH> brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &area, brush.Get());
}

void DrawLine(::HDC dc, const LineControl& line) {
    if (line.BorderStyle() == LineControl::kTransparent) return;
    const COLORREF colour = NativeColour(line.BorderColor());
    const int width = line.BorderWidth();
    if (const auto area = line.StraightArea()) {
        Fill(dc, area->left, area->top, area->width, area->height, colour);
        return;
    }
    GdiObject<::HPEN> pen(::CreatePen(PS_SOLID, width, colour));
    const ::HGDIOBJ old = ::SelectObject(dc, pen.Get());
    ::MoveToEx(dc, line.X1(), line.Y1(), nullptr);
    ::LineTo(dc, line.X2(), line.Y2());
    ::SelectObject(dc, old);
}

}  // namespace

void FormWindow::DrawImage(::HDC dc, ImageControl& image) {
    if (auto job = image.RequestOverview()) {
        // Made on the worker, handed back through the message queue; once the window has let
        // go of its form the result is dropped.
        m_worker.Run(std::move(job->make), [alive = std::weak_ptr<int>(m_alive), this, &image,
                                            ticket = job->ticket](Bitmap overview) {
            if (!alive.expired() && m_form) image.DeliverOverview(ticket, std::move(overview));
        });
    }
    const Bitmap* overview = image.ReadyOverview();
    if (!overview) return;
    DrawBitmap(dc, image.Left(), image.Top(), *overview, NativeColour(m_form->BackColor()));
}

void FormWindow::PaintSurface() {
    ::PAINTSTRUCT paint{};
    ::HDC dc = ::BeginPaint(m_window, &paint);
    if (m_form) {
        ::RECT client{};
        ::GetClientRect(m_window, &client);
        ::FillRect(dc, &client, m_background.Get());
        for (Control* control : m_form->Controls()) {
            if (!control->Visible()) continue;
            if (auto* image = dynamic_cast<ImageControl*>(control)) {
                DrawImage(dc, *image);
            } else if (auto* line = dynamic_cast<LineControl*>(control)) {
                DrawLine(dc, *line);
            }
        }
    }
    ::EndPaint(m_window, &paint);
}

}  // namespace platform::win32
