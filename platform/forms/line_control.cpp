#include "platform/forms/line_control.h"

#include <algorithm>
#include <cstdlib>

#include "platform/platform_error.h"

namespace platform {

void LineControl::SetPoints(int x1, int y1, int x2, int y2) {
    m_x1 = x1;
    m_y1 = y1;
    m_x2 = x2;
    m_y2 = y2;
    const long long width = std::llabs(static_cast<long long>(x2) - x1) + m_borderWidth;
    const long long height = std::llabs(static_cast<long long>(y2) - y1) + m_borderWidth;
    Move(std::min(x1, x2), std::min(y1, y2), static_cast<int>(std::min<long long>(width, 1 << 30)),
         static_cast<int>(std::min<long long>(height, 1 << 30)));
}

std::optional<LineControl::Area> LineControl::StraightArea() const {
    if (m_y1 != m_y2 && m_x1 != m_x2) return std::nullopt;
    const int left = std::min(m_x1, m_x2);
    const int top = std::min(m_y1, m_y2);
    const bool across = m_y1 == m_y2;
    return Area{left, top, across ? std::max(m_x1, m_x2) - left + 1 : m_borderWidth,
                across ? m_borderWidth : std::max(m_y1, m_y2) - top + 1};
}

void LineControl::SetBorderWidth(int width) {
    if (width < 1) throw PlatformError(ErrorNumber::InvalidPropertyValue);
    m_borderWidth = width;
    SetPoints(m_x1, m_y1, m_x2, m_y2);
}

}  // namespace platform
