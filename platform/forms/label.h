#pragma once

#include <string>

#include "platform/forms/control.h"
#include "platform/graphics/colour.h"

namespace platform {

struct Font {
    std::string name = "MS Sans Serif";
    float size = 8.25f;  // points
    bool bold = false;
    bool operator==(const Font&) const = default;
};

// A caption on the form, wrapped at word boundaries inside its rectangle.
class Label : public Control {
  public:
    explicit Label(std::string name) : Control(std::move(name)) {}

    const std::string& Caption() const { return m_caption; }
    void SetCaption(std::string caption) {
        m_caption = std::move(caption);
        Notify();
    }
    const platform::Font& Font() const { return m_font; }
    void SetFont(platform::Font font) {
        m_font = std::move(font);
        Notify();
    }
    OLE_COLOR ForeColor() const { return m_foreColor; }
    void SetForeColor(OLE_COLOR colour) {
        m_foreColor = colour;
        Notify();
    }
    OLE_COLOR BackColor() const { return m_backColor; }
    void SetBackColor(OLE_COLOR colour) {
        m_backColor = colour;
        Notify();
    }

  private:
    std::string m_caption;
    platform::Font m_font;
    OLE_COLOR m_foreColor = SystemColour(COLOR_BTNTEXT);
    OLE_COLOR m_backColor = SystemColour(COLOR_BTNFACE);
};

}  // namespace platform
