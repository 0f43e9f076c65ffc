#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/form.h"
#include "platform/win32/fixed_look.h"
#include "platform/win32/menu_bar.h"
#include "platform/win32/overview_worker.h"
#include "platform/win32/picture_box_window.h"
#include "platform/win32/windows_api.h"

namespace platform {
class CommandButton;
class ImageControl;
class Label;
}  // namespace platform

namespace platform::win32 {

// The window of one form: a fixed frame, the menu bar built from the form's menus, and a
// client area of exactly ClientWidth x ClientHeight pixels beneath it. The client area paints
// what the form draws on its own surface (background, image controls, lines); buttons, labels
// and picture boxes are child windows at their geometry, later ones on top. Controls beyond
// the client area exist but are not seen.
class FormWindow {
  public:
    static constexpr const wchar_t* kClassName = L"ZentrovaForm";
    // Posted by the overview worker when a result is ready.
    static constexpr UINT kOverviewReady = WM_APP + 1;
    static void Register(::HINSTANCE instance);

    // Makes the window, hidden. `owner` (may be null) keeps a form without a taskbar button
    // out of the taskbar.
    FormWindow(Form& form, ::HWND owner);
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    ::HWND Handle() const { return m_window; }
    // Puts the window where the form asks: centred, or its client area at ClientLeft/Top.
    void PlaceOnScreen();
    // From now on no event reaches the form: it was unloaded, ended or destroyed.
    void Detach();

    // Whether the form takes mouse and keyboard input now. A disabled form takes none, yet
    // looks as it did: EnableWindow greys nothing.
    bool TakesInput() const {
        return m_form && m_form->Enabled() && !m_form->services().runtime.Ended();
    }

    // Keys this window answers before the message is dispatched: its accelerators, Tab and
    // Shift+Tab in TabIndex order, Enter and Escape for the default and cancel buttons, and
    // Alt with a button's access key. True when the message was used up.
    bool PreTranslate(const ::MSG& message);

  private:
    struct ButtonView {
        CommandButton* model;
        ::HWND window;
    };
    struct LabelView {
        Label* model = nullptr;
        ::HWND window = nullptr;
        GdiObject<::HBRUSH> background;
    };

    static LRESULT CALLBACK Procedure(::HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    // Building and syncing (form_window.cpp).
    void BuildControls();
    void AddButton(CommandButton& button);
    void AddLabel(Label& label);
    void ObserveMenus(MenuItem& item);
    void SyncForm();
    void SyncButton(ButtonView& view);
    void SyncLabel(LabelView& view);
    void RebuildMenu();
    void AddToolTip(::HWND control);
    void SyncToolTip(::HWND control, const std::string& text);
    void FitClientArea();
    ::HFONT FontFor(const Font& font);
    // Runs `sync` when the model changes, for as long as this window shows the form.
    template <typename Model, typename Sync>
    void Observe(Model& model, Sync sync) {
        model.SetObserver([alive = std::weak_ptr<int>(m_alive), this, sync] {
            if (!alive.expired() && m_form) sync();
        });
    }

    // The client area's own drawing (form_surface.cpp).
    void PaintSurface();
    void DrawImage(::HDC dc, ImageControl& image);

    // Input (form_window_input.cpp).
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnDrop(::HDROP drop);
    void MoveFocus(bool backwards);
    void FocusFirst();
    bool PressButton(bool (CommandButton::*role)() const);
    bool PressAccessKey(wchar_t key);
    void Click(::HWND button);

    Form* m_form;
    ::HWND m_window = nullptr;
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
    std::unique_ptr<MenuBar> m_menu;
    std::vector<std::unique_ptr<PictureBoxWindow>> m_panes;
    std::vector<ButtonView> m_buttons;
    std::vector<std::unique_ptr<LabelView>> m_labels;
    // Buttons and picture boxes in TabIndex order; labels never take the focus.
    std::vector<::HWND> m_tabOrder;
    ::HWND m_lastFocus = nullptr;
    ::HWND m_toolTips = nullptr;
    std::vector<std::pair<Font, std::unique_ptr<GdiObject<::HFONT>>>> m_fonts;
    GdiObject<::HBRUSH> m_background;
    ::HICON m_icon = nullptr;
    OverviewWorker m_worker;
};

}  // namespace platform::win32
