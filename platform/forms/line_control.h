#pragma once

#include <optional>
#include <string>

#include "platform/forms/control.h"
#include "platform/graphics/colour.h"

namespace platform {

// A line drawn on the form's own surface. A line BorderWidth pixels wide grows right of
// and below its end points, so two lines one pixel apart make an etched rule.
class LineControl : public Control {
  public:
    static constexpr int kTransparent = 0;
    static constexpr int kSolid = 1;
    static constexpr int kInsideSolid = 6;

    explicit LineControl(std::string name) : Control(std::move(name)) {}

    int X1() const { return m_x1; }
    int Y1() const { return m_y1; }
    int X2() const { return m_x2; }
    int Y2() const { return m_y2; }
    // Also makes the control's rectangle the line's bounding box.
    void SetPoints(int x1, int y1, int x2, int y2);

    // The pixels of a line straight across or down: its end points, and BorderWidth of them
    // below or right of its length. None for a slanted line, which the toolkit's pen draws.
    struct Area {
        int left, top, width, height;
    };
    std::optional<Area> StraightArea() const;

    OLE_COLOR BorderColor() const { return m_borderColor; }
    void SetBorderColor(OLE_COLOR colour) {
        m_borderColor = colour;
        Notify();
    }
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int width);
    int BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(int style) {
        m_borderStyle = style;
        Notify();
    }

  private:
    int m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
    OLE_COLOR m_borderColor = SystemColour(COLOR_WINDOWTEXT);
    int m_borderWidth = 1;
    int m_borderStyle = kSolid;
};

}  // namespace platform
