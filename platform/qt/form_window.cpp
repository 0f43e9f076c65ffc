#include "platform/qt/form_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "platform/forms/command_button.h"
#include "platform/forms/label.h"
#include "platform/forms/picture_box.h"
#include "platform/qt/form_surface.h"
#include "platform/qt/picture_box_widget.h"
#include "platform/qt/qt_images.h"

namespace platform {

namespace {

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

Qt::WindowFlags FlagsFor(const Form& form) {
    Qt::WindowFlags flags = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (form.MinButton()) flags |= Qt::WindowMinimizeButtonHint;
    if (!form.ShowInTaskbar()) {
        // A utility window: window managers leave it out of the taskbar (X11); Wayland
        // offers no such hint.
        flags |= Qt::Tool;
    } else if (form.GetBorderStyle() == BorderStyle::FixedDialog) {
        flags |= Qt::Dialog;
    } else {
        flags |= Qt::Window;
    }
    return flags;
}

void SyncGeometry(QWidget* widget, const Control& control) {
    widget->setGeometry(control.Left(), control.Top(), control.Width(), control.Height());
    widget->setVisible(control.Visible());
    widget->setToolTip(ToQString(control.ToolTipText()));
}

void SyncButton(QPushButton* widget, const CommandButton& button) {
    SyncGeometry(widget, button);
    widget->setText(ToQString(button.Caption()));
    widget->setEnabled(button.Enabled());
    widget->setDefault(button.Default());
}

void SyncLabel(QLabel* widget, const Label& label) {
    SyncGeometry(widget, label);
    widget->setText(ToQString(label.Caption()));
    widget->setFont(ToQFont(label.Font()));
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, ToQColor(label.ForeColor()));
    palette.setColor(QPalette::Window, ToQColor(label.BackColor()));
    widget->setPalette(palette);
}

// The path of the one local file a drag carries; empty when it carries anything else.
QString SingleLocalFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
    return urls.front().toLocalFile();
}

}  // namespace

FormWindow::FormWindow(Form& form) : QWidget(nullptr, FlagsFor(form)), m_form(&form) {
    setObjectName(ToQString(form.Name()));
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Whether a drop is taken is decided per drag: see TakesDrops.
    setAcceptDrops(true);
    // Every form starts in the platform's default dialog font.
    setFont(ToQFont(Font{}));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // the user cannot resize the window
    m_surface = new FormSurface(form, this);
    layout->addWidget(m_surface);

    BuildMenus();
    if (m_menuBar) layout->setMenuBar(m_menuBar);
    BuildControls();
    FilterInputOf(*this);

    form.SetObserver([self = QPointer<FormWindow>(this)] {
        if (self) self->SyncForm();
    });
    SyncForm();
}

void FormWindow::SyncForm() {
    if (!m_form) return;
    setWindowTitle(ToQString(m_form->Caption()));
    m_surface->setFixedSize(m_form->ClientWidth(), m_form->ClientHeight());
    const Picture icon = m_form->Icon();
    setWindowIcon(icon.IsEmpty() ? QIcon()
                                 : QIcon(QPixmap::fromImage(
                                       ToQImage(icon.Overview(icon.Width(), icon.Height())))));
    m_surface->update();
}

void FormWindow::FilterInputOf(QWidget& widget) {
    widget.installEventFilter(this);
    for (QWidget* child : widget.findChildren<QWidget*>()) child->installEventFilter(this);
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:  // the menu bar's access keys
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TabletPress:
            if (!TakesInput()) return true;
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void FormWindow::BuildControls() {
    std::vector<std::pair<int, QWidget*>> tabOrder;
    for (Control* control : m_form->Controls()) {
        QPointer<FormWindow> self(this);
        QWidget* widget = nullptr;
        if (auto* pane = dynamic_cast<PictureBox*>(control)) {
            widget = new PictureBoxWidget(*pane, m_surface);
            tabOrder.emplace_back(pane->TabIndex(), widget);
        } else if (auto* button = dynamic_cast<CommandButton*>(control)) {
            auto* push = new QPushButton(m_surface);
            push->setAutoDefault(false);
            connect(push, &QPushButton::clicked, this, [this, button] {
                if (TakesInput() && button->Click) button->Click();
            });
            button->SetObserver([self, push = QPointer<QPushButton>(push), button] {
                if (self && self->m_form && push) SyncButton(push, *button);
            });
            SyncButton(push, *button);
            m_buttons[button] = push;
            tabOrder.emplace_back(button->TabIndex(), push);
            widget = push;
        } else if (auto* label = dynamic_cast<Label*>(control)) {
            auto* text = new QLabel(m_surface);
            text->setTextFormat(Qt::PlainText);
            text->setWordWrap(true);
            text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            text->setAutoFillBackground(true);
            label->SetObserver([self, text = QPointer<QLabel>(text), label] {
                if (self && self->m_form && text) SyncLabel(text, *label);
            });
            SyncLabel(text, *label);
            widget = text;
        } else {
            // Image controls and lines are drawn by the client area itself.
            control->SetObserver([self] {
                if (self && self->m_form) self->m_surface->update();
            });
            continue;
        }
        widget->setObjectName(ToQString(control->Name()));
        m_widgets[control->Name()] = widget;
    }
    // Buttons and picture boxes take focus in TabIndex order; labels never take it.
    std::stable_sort(tabOrder.begin(), tabOrder.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        QWidget::setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
    }
    if (!tabOrder.empty()) tabOrder.front().second->setFocus();
}

void FormWindow::BuildMenus() {
    if (m_form->Menus().empty()) return;
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("MenuBar"));
    for (MenuItem* top : m_form->Menus()) {
        QAction* action = nullptr;
        if (top->Children().empty()) {
            action = m_menuBar->addAction(ToQString(top->Caption()));
            connect(action, &QAction::triggered, this, [this, top] { OnMenuClick(*top); });
        } else {
            QMenu* menu = m_menuBar->addMenu(ToQString(top->Caption()));
            menu->setObjectName(ToQString(top->Name()));
            for (MenuItem* child : top->Children()) AddEntry(*child, menu);
            action = menu->menuAction();
        }
        m_actions[top] = action;
        top->SetObserver([self = QPointer<FormWindow>(this), top] {
            if (self && self->m_form) self->SyncAction(*top);
        });
        SyncAction(*top);
    }
}

void FormWindow::AddEntry(MenuItem& item, QMenu* menu) {
    QAction* action = nullptr;
    if (item.IsSeparator()) {
        action = menu->addSeparator();
    } else if (!item.Children().empty()) {
        QMenu* sub = menu->addMenu(ToQString(item.Caption()));
        for (MenuItem* child : item.Children()) AddEntry(*child, sub);
        action = sub->menuAction();
    } else {
        action = menu->addAction(ToQString(item.Caption()));
        connect(action, &QAction::triggered, this, [this, &item] { OnMenuClick(item); });
    }
    const QString name = ToQString(item.Name());
    action->setObjectName(item.Index() < 0 ? name
                                           : name + QStringLiteral("(%1)").arg(item.Index()));
    m_actions[&item] = action;
    item.SetObserver([self = QPointer<FormWindow>(this), &item] {
        if (self && self->m_form) self->SyncAction(item);
    });
    SyncAction(item);
}

void FormWindow::SyncAction(MenuItem& item) {
    // Every item is in m_actions before anything can sync it, and none leaves.
    QAction* action = m_actions.at(&item);
    action->setVisible(item.Visible());
    action->setEnabled(item.Enabled());
    if (item.IsSeparator()) return;
    action->setText(ToQString(item.Caption()));
    // Only a checked item shows a mark; an unchecked one shows nothing, not an empty box.
    action->setCheckable(item.Checked());
    action->setChecked(item.Checked());
    action->setShortcut(
        QKeySequence::fromString(ToQString(item.Shortcut()), QKeySequence::PortableText));
}

void FormWindow::OnMenuClick(MenuItem& item) {
    QPointer<FormWindow> self(this);
    if (TakesInput() && item.Enabled() && item.Click) item.Click();
    // Qt may have toggled the check mark itself; the model decides.
    if (self && m_form) SyncAction(item);
}

void FormWindow::PlaceOnScreen() {
    if (!m_form) return;
    adjustSize();
    const QSize size = sizeHint();
    if (m_form->GetStartUpPosition() == StartUpPosition::CenterScreen) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
        setGeometry(QRect(area.center() - QPoint(size.width() / 2, size.height() / 2), size));
    } else {
        const int menuHeight = m_menuBar ? m_surface->y() : 0;
        setGeometry(QRect(QPoint(m_form->ClientLeft(), m_form->ClientTop() - menuHeight), size));
    }
}

void FormWindow::Detach() {
    m_form = nullptr;
    m_surface->Detach();
    for (auto& [name, widget] : m_widgets) {
        if (auto* pane = qobject_cast<PictureBoxWidget*>(widget)) pane->Detach();
    }
}

void FormWindow::closeEvent(QCloseEvent* event) {
    // The form decides: its close sequence may cancel, and if it unloads, the runtime
    // takes the window away.
    // A disabled window ignores its close button like any other input.
    event->ignore();
    if (TakesInput()) m_form->RequestClose(vbFormControlMenu);
}

void FormWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (TakesDrops() && !SingleLocalFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void FormWindow::dropEvent(QDropEvent* event) {
    const QString file = SingleLocalFile(event->mimeData());
    if (!TakesDrops() || file.isEmpty()) return;
    event->acceptProposedAction();
    // After the drop has finished: the handler may show modal dialogs, and the program the
    // file came from waits until the drop event returns.
    QMetaObject::invokeMethod(
        this,
        [self = QPointer<FormWindow>(this), path = file.toStdString()] {
            if (self && self->TakesDrops()) self->m_form->FileDropped(path);
        },
        Qt::QueuedConnection);
}

void FormWindow::PressButton(bool (CommandButton::*role)() const) {
    for (auto& [button, widget] : m_buttons) {
        if ((button->*role)() && button->Enabled() && button->Visible()) {
            static_cast<QPushButton*>(widget)->click();
            return;
        }
    }
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
    if (!TakesInput() || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Enter presses the focused button, otherwise the default one.
            if (auto* focused = qobject_cast<QPushButton*>(focusWidget())) {
                focused->click();
            } else {
                PressButton(&CommandButton::Default);
            }
            return;
        case Qt::Key_Escape:
            PressButton(&CommandButton::Cancel);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

}  // namespace platform
