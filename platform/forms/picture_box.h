#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/forms/control.h"
#include "platform/graphics/gdi.h"
#include "platform/pictures/picture.h"

namespace platform {

// A picture pane: a 2-pixel sunken border around a drawing area that shows a picture at
// natural size from its top-left corner over the background colour.
//
// What the pane shows lives in one bitmap of the Gdi table, selected into the pane's own
// context, so that BitBlt can read from hDC. It is composed only when something reads or
// draws, and only at the inner size: a huge picture in a small pane never costs a
// picture-sized surface. With AutoRedraw on that bitmap is the persistent image; with it off
// it is the screen, and drawing on it is lost at the next repaint.
class PictureBox : public Control {
  public:
    static constexpr int kBorder = 2;

    PictureBox(Gdi& gdi, std::string name);
    ~PictureBox() override;

    Picture GetPicture() const { return m_picture; }
    // The empty picture clears the pane. Earlier drawing is lost either way.
    void SetPicture(Picture picture);
    // A new bitmap picture of the inner area: the persistent image with AutoRedraw on,
    // otherwise the picture drawn over BackColor.
    Picture Image();
    HDC hDC();

    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize);
    bool AutoRedraw() const { return m_autoRedraw; }
    void SetAutoRedraw(bool autoRedraw);
    OLE_COLOR BackColor() const { return m_backColor; }
    // Repaints the pane in the new colour: drawing is lost, persistent or not.
    void SetBackColor(OLE_COLOR colour);
    OLE_COLOR ForeColor() const { return m_foreColor; }
    void SetForeColor(OLE_COLOR colour);

    int InnerWidth() const;
    int InnerHeight() const;

    // The 0x00BBGGRR colour shown at (x, y), or -1 outside the inner area.
    std::int32_t Point(float x, float y);
    void PSet(float x, float y);
    void PSet(float x, float y, OLE_COLOR colour);
    // The box with corners (x1, y1) and (x2, y2), both inclusive, filled and clipped.
    void Line(float x1, float y1, float x2, float y2, OLE_COLOR colour);
    // Repaints from the picture: drawing without AutoRedraw is lost.
    void Refresh();
    // The window system asks for the pane again (uncovered, say): without AutoRedraw, what
    // was drawn on screen only is gone. The view calls it; nothing is notified.
    void WindowRepaint() {
        if (!m_autoRedraw) Repaint();
    }

    std::function<void()> Click;

    // What the pane shows now, inner area only.
    const Bitmap& Shown() { return Surface(); }
    // The part (x, y, width, height) of what the pane shows, clipped to the inner area. While
    // nothing is drawn on the pane, only that part is composed: a pane grown to a huge
    // picture's size costs what the window shows of it, not the picture's size.
    Bitmap ShownPart(int x, int y, int width, int height);

  private:
    // Whether (x, y) lies in the inner area; NaN lies nowhere.
    bool InsideInnerArea(float x, float y) const;
    void Resized() override;
    Bitmap& Surface();
    Bitmap Composed(int width, int height) const;
    // The next read or draw composes the surface afresh from background and picture.
    void Repaint() { m_current = false; }

    Gdi& m_gdi;
    HDC m_hdc{};
    HBITMAP m_surface{};
    Picture m_picture;
    bool m_autoSize = false;
    bool m_autoRedraw = false;
    OLE_COLOR m_backColor = SystemColour(COLOR_BTNFACE);
    OLE_COLOR m_foreColor = SystemColour(COLOR_WINDOWTEXT);
    bool m_current = false;  // the surface holds what the pane shows now
};

}  // namespace platform
