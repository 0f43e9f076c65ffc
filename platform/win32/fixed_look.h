#pragma once

#include "platform/forms/label.h"
#include "platform/graphics/colour.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

// Colours always go through the fixed table, never the desktop's scheme: the same table the
// files are made with.
COLORREF NativeColour(OLE_COLOR colour);

// A font as the forms define it, at the screen's 96 dots per inch: "MS Sans Serif" 8.25 points
// is 11 pixels high. The caller deletes it.
::HFONT CreateFormFont(const Font& font);

// A GDI object deleted when this goes.
template <typename Handle>
class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : m_handle(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return m_handle; }
    void Reset(Handle handle = nullptr) {
        if (m_handle) ::DeleteObject(m_handle);
        m_handle = handle;
    }

  private:
    Handle m_handle = nullptr;
};

}  // namespace platform::win32
