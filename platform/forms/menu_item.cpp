#include "platform/forms/menu_item.h"

#include <stdexcept>

namespace platform {

MenuItem::MenuItem(std::string name, std::string caption, std::string shortcut, int index)
    : m_name(std::move(name)),
      m_caption(std::move(caption)),
      m_shortcut(std::move(shortcut)),
      m_index(index) {}

void MenuItem::SetCaption(std::string caption) {
    m_caption = std::move(caption);
    Notify();
}

void MenuItem::SetEnabled(bool enabled) {
    m_enabled = enabled;
    Notify();
}

void MenuItem::SetChecked(bool checked) {
    m_checked = checked;
    Notify();
}

void MenuItem::SetVisible(bool visible) {
    m_visible = visible;
    Notify();
}

void MenuItem::Notify() const {
    if (m_observer) m_observer();
}

MenuItem& MenuArray::Add(std::string caption, std::string shortcut) {
    const int index = Count();
    MenuItem& item = m_items.emplace_back(m_name, std::move(caption), std::move(shortcut), index);
    item.Click = [this, index] {
        if (Click) Click(index);
    };
    return item;
}

MenuItem& MenuArray::operator[](int index) {
    if (index < 0 || index >= Count()) {
        throw std::out_of_range("no item " + std::to_string(index) + " in " + m_name);
    }
    return m_items[static_cast<std::size_t>(index)];
}

}  // namespace platform
