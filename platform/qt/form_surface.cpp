#include "platform/qt/form_surface.h"

#include <QPainter>

#include "platform/forms/image_control.h"
#include "platform/forms/line_control.h"
#include "platform/qt/qt_images.h"

namespace platform {

namespace {

void DrawLine(QPainter& painter, const LineControl& line) {
    if (line.BorderStyle() == LineControl::kTransparent) return;
    const QColor colour = ToQColor(line.BorderColor());
    const int width = line.BorderWidth();
    if (const auto area = line.StraightArea()) {
        painter.fillRect(area->left, area->top, area->width, area->height, colour);
        return;
    }
    painter.setPen(QPen(colour, width));
    painter.drawLine(line.X1(), line.Y1(), line.X2(), line.Y2());
}

}  // namespace

void FormSurface::DrawImage(QPainter& painter, ImageControl& image) {
    if (auto job = image.RequestOverview()) {
        // Made on the worker, handed back here; the control is the form's, so once the window
        // has let go of its form (Detach) the result is dropped.
        m_worker.Run(std::move(job->make), [this, &image, ticket = job->ticket](Bitmap overview) {
            if (m_form) image.DeliverOverview(ticket, std::move(overview));
        });
    }
    const Bitmap* overview = image.ReadyOverview();
    if (!overview) return;
    const QImage shown = ToQImage(*overview);
    if (!shown.isNull()) painter.drawImage(image.Left(), image.Top(), shown);
}

FormSurface::FormSurface(Form& form, QWidget* parent) : QWidget(parent), m_form(&form) {
    setObjectName(QStringLiteral("ClientArea"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FormSurface::paintEvent(QPaintEvent*) {
    if (!m_form) return;
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(m_form->BackColor()));
    for (Control* control : m_form->Controls()) {
        if (!control->Visible()) continue;
        if (auto* image = dynamic_cast<ImageControl*>(control)) {
            DrawImage(painter, *image);
        } else if (auto* line = dynamic_cast<LineControl*>(control)) {
            DrawLine(painter, *line);
        }
    }
}

}  // namespace platform
