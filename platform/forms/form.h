#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/forms/control.h"
#include "platform/forms/menu_item.h"
#include "platform/forms/services.h"
#include "platform/graphics/colour.h"
#include "platform/graphics/handles.h"
#include "platform/pictures/picture.h"

namespace platform {

enum class StartUpPosition { Manual, CenterScreen };
// Both fixed: the user cannot resize the window. A dialog frame has no taskbar-style icon.
enum class BorderStyle { FixedSingle, FixedDialog };

// Why a form is being unloaded, as Form_QueryUnload receives it.
inline constexpr int vbFormControlMenu = 0;  // the window's close button
inline constexpr int vbFormCode = 1;         // Unload in code

// A window definition and its life cycle. A program's window derives from Form, holds its
// controls and menus as members, registers them with AddControl and AddMenu in creation
// order, and overrides the event handlers it needs.
class Form {
  public:
    Form(Services& services, std::string name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return m_name; }
    Services& services() { return m_services; }

    // Runs Form_Load once, unless the form is loaded already.
    void Load();
    // Loads if needed, then shows the window modeless.
    void Show();
    // Form_QueryUnload, then Form_Unload; unless either cancels, the window goes and the
    // form counts as not loaded (a later Show runs Form_Load again).
    void Unload() { RequestClose(vbFormCode); }
    // The same sequence with a reason; true when the form was unloaded.
    bool RequestClose(int UnloadMode);
    bool IsLoaded() const { return m_loaded; }
    bool IsShown() const { return m_shown; }

    virtual void Form_Load() {}
    virtual void Form_QueryUnload(int& Cancel, int UnloadMode) {
        (void)Cancel;
        (void)UnloadMode;
    }
    virtual void Form_Unload(int& Cancel) { (void)Cancel; }

    const std::string& Caption() const { return m_caption; }
    void SetCaption(std::string caption);
    // A disabled window takes no mouse or keyboard input, its shortcuts included.
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    OLE_COLOR BackColor() const { return m_backColor; }
    void SetBackColor(OLE_COLOR colour);
    // A window context: the form's colour format, with BackColor as background colour.
    HDC hDC() const { return m_hdc; }

    int ClientWidth() const { return m_clientWidth; }
    int ClientHeight() const { return m_clientHeight; }
    void SetClientSize(int width, int height);
    // Where the client area's top-left corner goes on the screen (Manual start-up position).
    int ClientLeft() const { return m_clientLeft; }
    int ClientTop() const { return m_clientTop; }
    void SetClientPosition(int left, int top);
    platform::StartUpPosition GetStartUpPosition() const { return m_startUpPosition; }
    void SetStartUpPosition(platform::StartUpPosition position) { m_startUpPosition = position; }

    Picture Icon() const { return m_icon; }
    void SetIcon(Picture icon);
    bool ShowInTaskbar() const { return m_showInTaskbar; }
    void SetShowInTaskbar(bool show) { m_showInTaskbar = show; }
    platform::BorderStyle GetBorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(platform::BorderStyle style) { m_borderStyle = style; }
    bool MinButton() const { return m_minButton; }
    void SetMinButton(bool on) { m_minButton = on; }
    bool MaxButton() const { return m_maxButton; }
    void SetMaxButton(bool on) { m_maxButton = on; }

    // Controls in creation order (the later ones lie on top) and the top-level menus in
    // bar order. The form does not own them.
    void AddControl(Control& control) { m_controls.push_back(&control); }
    void AddMenu(MenuItem& menu) { m_menus.push_back(&menu); }
    const std::vector<Control*>& Controls() const { return m_controls; }
    const std::vector<MenuItem*>& Menus() const { return m_menus; }

    void SetObserver(std::function<void()> observer) { m_observer = std::move(observer); }

    // A file dropped on the window, by its full local path. The window takes drops only
    // while the program has set this.
    std::function<void(const std::string& fileName)> FileDropped;

  private:
    void Notify() const;

    Services& m_services;
    std::string m_name;
    bool m_loaded = false;
    bool m_shown = false;

    std::string m_caption;
    bool m_enabled = true;
    OLE_COLOR m_backColor = SystemColour(COLOR_BTNFACE);
    HDC m_hdc{};
    int m_clientWidth = 0;
    int m_clientHeight = 0;
    int m_clientLeft = 0;
    int m_clientTop = 0;
    platform::StartUpPosition m_startUpPosition = platform::StartUpPosition::Manual;
    Picture m_icon;
    bool m_showInTaskbar = true;
    platform::BorderStyle m_borderStyle = platform::BorderStyle::FixedSingle;
    bool m_minButton = false;
    bool m_maxButton = false;

    std::vector<Control*> m_controls;
    std::vector<MenuItem*> m_menus;
    std::function<void()> m_observer;
};

}  // namespace platform
