#pragma once

#include <QWidget>

#include "platform/forms/form.h"

namespace platform {

// The form's client area. It paints what the form draws on its own surface, beneath
// every windowed control: the background colour, then image controls and lines in
// creation order.
class FormSurface : public QWidget {
    Q_OBJECT

  public:
    FormSurface(Form& form, QWidget* parent);
    void Detach() { m_form = nullptr; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Form* m_form;
};

}  // namespace platform
