#include "platform/qt/picture_box_widget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QShowEvent>
#include <QWindow>

#include "platform/qt/qt_images.h"

namespace platform {

namespace {

// A dotted frame, every other pixel of it inverted, one pixel wide. It goes round the inner
// area on the border's inner edge, so the picture keeps every pixel.
void DrawFocusMark(QPainter& painter, const QRect& frame) {
    if (frame.width() < 2 || frame.height() < 2) return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const QBrush dots(Qt::white, Qt::Dense4Pattern);  // a checkerboard: its clear half is 0
    painter.fillRect(frame.left(), frame.top(), frame.width(), 1, dots);
    painter.fillRect(frame.left(), frame.bottom(), frame.width(), 1, dots);
    painter.fillRect(frame.left(), frame.top() + 1, 1, frame.height() - 2, dots);
    painter.fillRect(frame.right(), frame.top() + 1, 1, frame.height() - 2, dots);
    painter.restore();
}

}  // namespace

PictureBoxWidget::PictureBoxWidget(PictureBox& model, QWidget* parent)
    : QWidget(parent), m_model(&model) {
    setObjectName(QString::fromStdString(model.Name()));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A picture box is a tab stop, and a click gives it the focus too.
    setFocusPolicy(Qt::StrongFocus);
    model.SetObserver([self = QPointer<PictureBoxWidget>(this)] {
        if (self) self->Sync();
    });
    Sync();
}

void PictureBoxWidget::Sync() {
    if (!m_model) return;
    setGeometry(m_model->Left(), m_model->Top(), m_model->Width(), m_model->Height());
    setVisible(m_model->Visible());
    setToolTip(QString::fromStdString(m_model->ToolTipText()));
    // Only schedule: the model composes what it shows when the paint asks, after the
    // handler that changed it has finished resizing it.
    m_modelAsked = true;
    update();
}

void PictureBoxWidget::paintEvent(QPaintEvent* event) {
    if (!m_model) return;
    // The form's surface beneath does not repaint the pane (it is opaque), so a paint the
    // model did not ask for is the window system's: uncovered, exposed, grabbed.
    if (!m_modelAsked) m_model->WindowRepaint();
    m_modelAsked = false;
    QPainter painter(this);
    const int w = width(), h = height();
    // A classic sunken edge: shadow and dark shadow on the top and left, highlight and
    // light on the bottom and right.
    const auto edge = [&](int inset, OLE_COLOR topLeft, OLE_COLOR bottomRight) {
        if (w - 2 * inset <= 0 || h - 2 * inset <= 0) return;
        painter.fillRect(inset, inset, w - 2 * inset, 1, ToQColor(topLeft));
        painter.fillRect(inset, inset, 1, h - 2 * inset, ToQColor(topLeft));
        painter.fillRect(inset, h - 1 - inset, w - 2 * inset, 1, ToQColor(bottomRight));
        painter.fillRect(w - 1 - inset, inset, 1, h - 2 * inset, ToQColor(bottomRight));
    };
    edge(0, SystemColour(COLOR_BTNSHADOW), SystemColour(COLOR_BTNHIGHLIGHT));
    edge(1, SystemColour(COLOR_3DDKSHADOW), SystemColour(COLOR_3DLIGHT));
    // Only the part being painted: a pane grown to a huge picture shows little of it.
    const QRect inner(PictureBox::kBorder, PictureBox::kBorder, m_model->InnerWidth(),
                      m_model->InnerHeight());
    const QRect part = event->rect() & inner;
    if (!part.isEmpty()) {
        const QImage shown = ToQImage(m_model->ShownPart(part.x() - PictureBox::kBorder,
                                                         part.y() - PictureBox::kBorder,
                                                         part.width(), part.height()));
        if (!shown.isNull()) painter.drawImage(part.topLeft(), shown);
    }
    // Once the keyboard has moved the focus, as the style's own mark would.
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        DrawFocusMark(painter, inner.adjusted(-1, -1, 1, 1));
    }
}

void PictureBoxWidget::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    m_modelAsked = true;  // not the window system's repaint: what was drawn stays
    update();
}

void PictureBoxWidget::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    m_modelAsked = true;
    update();
}

void PictureBoxWidget::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The window system's repaints (uncovered, restored) reach only the top-level window,
    // and the toolkit answers them from its own copy of it without asking the pane.
    if (QWindow* handle = window()->windowHandle()) handle->installEventFilter(this);
    if (event->spontaneous()) WindowRepaint();  // the window comes back from its icon
}

bool PictureBoxWidget::eventFilter(QObject* watched, QEvent* event) {
    // Seen before the toolkit handles it, so the pane's new paint is part of its answer.
    if (event->type() == QEvent::Expose) {
        const auto* handle = qobject_cast<QWindow*>(watched);
        if (handle && handle->isExposed()) WindowRepaint();
    }
    return QWidget::eventFilter(watched, event);
}

void PictureBoxWidget::WindowRepaint() {
    m_modelAsked = false;
    update();
}

void PictureBoxWidget::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
}

void PictureBoxWidget::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click && m_model && m_model->Click) m_model->Click();
}

}  // namespace platform
