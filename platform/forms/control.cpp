#include "platform/forms/control.h"

#include "platform/platform_error.h"

namespace platform {

Control::Control(std::string name) : m_name(std::move(name)) {}

void Control::Move(int left, int top, int width, int height) {
    if (width < 0 || height < 0) {
        throw PlatformError(ErrorNumber::InvalidPropertyValue);
    }
    m_left = left;
    m_top = top;
    const bool resized = width != m_width || height != m_height;
    m_width = width;
    m_height = height;
    if (resized) Resized();
    Notify();
}

void Control::SetWidth(int width) {
    Move(m_left, m_top, width, m_height);
}
void Control::SetHeight(int height) {
    Move(m_left, m_top, m_width, height);
}

void Control::SetVisible(bool visible) {
    m_visible = visible;
    Notify();
}

void Control::SetToolTipText(std::string text) {
    m_toolTipText = std::move(text);
    Notify();
}

void Control::Notify() const {
    if (m_observer) m_observer();
}

}  // namespace platform
