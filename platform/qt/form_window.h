#pragma once

#include <QWidget>
#include <map>
#include <string>

#include "platform/forms/form.h"

class QAction;
class QMenu;
class QMenuBar;

namespace platform {

class CommandButton;
class FormSurface;

// The window of one form: a fixed frame, the menu bar built from the form's menus, and
// beneath it a client area of exactly ClientWidth x ClientHeight pixels holding the
// controls at their geometry. Controls beyond the client area exist but are not seen.
class FormWindow : public QWidget {
    Q_OBJECT

  public:
    explicit FormWindow(Form& form);

    // Puts the window where the form asks: centred, or its client area at ClientLeft/Top.
    void PlaceOnScreen();
    // From now on no event reaches the form: it was unloaded, ended or destroyed.
    void Detach();

    // Whether the form takes mouse and keyboard input now. A disabled form takes none, yet
    // looks as it did: its controls keep their own enabled state.
    bool TakesInput() const {
        return m_form && m_form->Enabled() && !m_form->services().runtime.Ended();
    }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // One local file dragged onto the window goes to the form's FileDropped.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void SyncForm();
    void BuildControls();
    void BuildMenus();
    void AddEntry(MenuItem& item, QMenu* menu);
    void SyncAction(MenuItem& item);
    void OnMenuClick(MenuItem& item);
    void PressButton(bool (CommandButton::*role)() const);
    bool TakesDrops() const { return TakesInput() && m_form->FileDropped; }
    // Keeps input from the window and every widget in it while the form takes none.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void FilterInputOf(QWidget& widget);

    Form* m_form;
    FormSurface* m_surface;
    QMenuBar* m_menuBar = nullptr;
    std::map<std::string, QWidget*> m_widgets;
    std::map<const MenuItem*, QAction*> m_actions;
    std::map<const CommandButton*, QWidget*> m_buttons;
};

}  // namespace platform
