#pragma once

#include <map>
#include <vector>

#include "platform/forms/menu_item.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

// A form's menus as a Win32 menu bar, with the accelerator table of their shortcuts. Each
// item that can be chosen has a command identifier, so that a WM_COMMAND names its item.
class MenuBar {
  public:
    static constexpr WORD kFirstCommand = 100;

    explicit MenuBar(const std::vector<MenuItem*>& menus);
    ~MenuBar();
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    // The menu bar as the items are now: captions, checks, enabled and visible states. The
    // window owns it once it is set on the window.
    ::HMENU Build() const;
    ::HACCEL Accelerators() const { return m_accelerators; }
    // The item a command identifier stands for, or null.
    MenuItem* ItemFor(WORD command) const;

    // "Ctrl+X" and "F1" as an accelerator; false for a text it does not know.
    static bool ParseShortcut(const std::string& text, ::ACCEL& accelerator);

  private:
    void Number(MenuItem& item);
    void Append(::HMENU menu, MenuItem& item) const;

    std::vector<MenuItem*> m_menus;
    std::map<const MenuItem*, WORD> m_commands;
    std::map<WORD, MenuItem*> m_items;
    ::HACCEL m_accelerators = nullptr;
};

}  // namespace platform::win32
