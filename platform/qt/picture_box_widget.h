#pragma once

#include <QWidget>

#include "platform/forms/picture_box.h"

namespace platform {

// Draws a picture pane: the 2-pixel sunken border and, inside it, what the model shows.
// A click raises the model's Click.
class PictureBoxWidget : public QWidget {
    Q_OBJECT

  public:
    PictureBoxWidget(PictureBox& model, QWidget* parent);

    // Re-reads geometry, visibility and tooltip, and repaints later.
    void Sync();

    // The form goes: nothing may reach the model any more.
    void Detach() { m_model = nullptr; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Watches the top-level window for the window system's repaints.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    PictureBox* m_model;
    bool m_pressed = false;
    // A paint that the model did not ask for comes from the window system.
    bool m_modelAsked = true;

    // The window system asks for the pane again: the next paint shows the picture afresh.
    void WindowRepaint();
};

}  // namespace platform
