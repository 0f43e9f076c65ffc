#include "platform/qt/qt_runtime.h"

#include <QApplication>

#include "platform/qt/fixed_look.h"
#include "platform/qt/form_window.h"

namespace platform {

QtRuntime::QtRuntime() {
    auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    Q_ASSERT_X(application, "QtRuntime", "create the QApplication first");
    if (application) {
        ApplyFixedLook(*application);
        // The runtime decides when the program ends: when its last form window has gone.
        application->setQuitOnLastWindowClosed(false);
    }
}

QtRuntime::~QtRuntime() {
    for (auto& [form, window] : m_windows) {
        window->Detach();
        delete window;
    }
    for (const QPointer<FormWindow>& window : m_closed) delete window.data();
}

int QtRuntime::Run(Form& startup) {
    startup.Show();
    if (m_ended || m_windows.empty()) return 0;
    m_running = true;
    const int code = QApplication::exec();
    m_running = false;
    return code;
}

void QtRuntime::ShowForm(Form& form) {
    if (m_ended) return;
    FormWindow*& window = m_windows[&form];
    if (!window) {
        window = new FormWindow(form);
        window->PlaceOnScreen();
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void QtRuntime::CloseForm(Form& form) {
    auto it = m_windows.find(&form);
    if (it == m_windows.end()) return;
    FormWindow* window = it->second;
    m_windows.erase(it);
    window->Detach();
    window->hide();
    // Later: this may run inside one of the window's own event handlers.
    window->deleteLater();
    std::erase_if(m_closed, [](const QPointer<FormWindow>& closed) { return closed.isNull(); });
    m_closed.emplace_back(window);
    if (m_windows.empty()) QuitIfRunning();
}

void QtRuntime::End() {
    if (m_ended) return;
    m_ended = true;
    for (auto& [form, window] : m_windows) {
        window->Detach();
        window->hide();
    }
    QuitIfRunning();
}

void QtRuntime::QuitIfRunning() {
    if (m_running) QCoreApplication::exit(0);
}

}  // namespace platform
