#pragma once

#include <QWidget>

class QPainter;

#include "platform/forms/form.h"
#include "platform/qt/overview_worker.h"

namespace platform {

class ImageControl;

// The form's client area. It paints what the form draws on its own surface, beneath
// every windowed control: the background colour, then image controls and lines in
// creation order. An image control whose picture decodes from its file gets its overview
// from a worker thread and shows it when it is ready; the window meanwhile goes on.
class FormSurface : public QWidget {
    Q_OBJECT

  public:
    FormSurface(Form& form, QWidget* parent);
    void Detach() { m_form = nullptr; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void DrawImage(QPainter& painter, ImageControl& image);

    Form* m_form;
    OverviewWorker m_worker;
};

}  // namespace platform
