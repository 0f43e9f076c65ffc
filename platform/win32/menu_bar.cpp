#include "platform/win32/menu_bar.h"

#include <charconv>

#include "platform/win32/window_text.h"

namespace platform::win32 {

MenuBar::MenuBar(const std::vector<MenuItem*>& menus) : m_menus(menus) {
    for (MenuItem* menu : m_menus) Number(*menu);
    std::vector<::ACCEL> table;
    for (const auto& [item, command] : m_commands) {
        ::ACCEL accelerator{};
        if (!ParseShortcut(item->Shortcut(), accelerator)) continue;
        accelerator.cmd = command;
        table.push_back(accelerator);
    }
    if (!table.empty()) {
        m_accelerators = ::CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
    }
}

MenuBar::~MenuBar() {
    if (m_accelerators) ::DestroyAcceleratorTable(m_accelerators);
}

void MenuBar::Number(MenuItem& item) {
    if (!item.IsSeparator()) {
        const auto command = static_cast<WORD>(kFirstCommand + m_commands.size());
        m_commands[&item] = command;
        m_items[command] = &item;
    }
    for (MenuItem* child : item.Children()) Number(*child);
}

MenuItem* MenuBar::ItemFor(WORD command) const {
    const auto found = m_items.find(command);
    return found == m_items.end() ? nullptr : found->second;
}

bool MenuBar::ParseShortcut(const std::string& text, ::ACCEL& accelerator) {
    accelerator.fVirt = FVIRTKEY;
    std::string key = text;
    if (key.starts_with("Ctrl+")) {
        accelerator.fVirt |= FCONTROL;
        key.erase(0, 5);
    }
    if (key.size() == 1 && ((key[0] >= 'A' && key[0] <= 'Z') || (key[0] >= '0' && key[0] <= '9'))) {
        accelerator.key = static_cast<WORD>(key[0]);
        return true;
    }
    int number = 0;
    if (key.size() >= 2 && key[0] == 'F' &&
        std::from_chars(key.data() + 1, key.data() + key.size(), number).ptr ==
            key.data() + key.size()) {
        if (number < 1 || number > 12) return false;
        accelerator.key = static_cast<WORD>(VK_F1 + number - 1);
        return true;
    }
    return false;
}

::HMENU MenuBar::Build() const {
    ::HMENU bar = ::CreateMenu();
    for (MenuItem* menu : m_menus) Append(bar, *menu);
    return bar;
}

void MenuBar::Append(::HMENU menu, MenuItem& item) const {
    if (!item.Visible()) return;
    if (item.IsSeparator()) {
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        return;
    }
    // The shortcut stands right of the caption, after a tab.
    std::wstring text = WideText(item.Caption());
    if (!item.Shortcut().empty()) text += L"\t" + WideText(item.Shortcut());
    UINT flags = MF_STRING;
    flags |= item.Enabled() ? static_cast<UINT>(MF_ENABLED) : static_cast<UINT>(MF_GRAYED);
    flags |= item.Checked() ? static_cast<UINT>(MF_CHECKED) : static_cast<UINT>(MF_UNCHECKED);
    if (!item.Children().empty()) {
        ::HMENU popup = ::CreatePopupMenu();
        for (MenuItem* child : item.Children()) Append(popup, *child);
        ::AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text.c_str());
        return;
    }
    ::AppendMenuW(menu, flags, m_commands.at(&item), text.c_str());
}

}  // namespace platform::win32
