#include "platform/forms/form.h"

#include "platform/platform_error.h"

namespace platform {

Form::Form(Services& services, std::string name)
    : m_services(services), m_name(std::move(name)), m_caption(m_name) {
    m_hdc = m_services.gdi.CreateWindowDC();
    m_services.gdi.SetBkColor(m_hdc, m_backColor);
}

Form::~Form() {
    // The runtime must not keep a window that points at a destroyed form.
    if (m_shown) m_services.runtime.CloseForm(*this);
    m_services.gdi.DeleteDC(m_hdc);
}

void Form::Load() {
    if (m_loaded || m_services.runtime.Ended()) return;
    m_loaded = true;
    Form_Load();
}

void Form::Show() {
    Load();
    // Form_Load may have unloaded the form or ended the program.
    if (!m_loaded || m_shown || m_services.runtime.Ended()) return;
    m_shown = true;
    m_services.runtime.ShowForm(*this);
}

bool Form::RequestClose(int UnloadMode) {
    FormRuntime& runtime = m_services.runtime;
    if (!m_loaded || runtime.Ended()) return !m_loaded;
    int Cancel = 0;
    Form_QueryUnload(Cancel, UnloadMode);
    if (Cancel != 0 || runtime.Ended()) return false;
    Form_Unload(Cancel);
    if (Cancel != 0 || runtime.Ended()) return false;
    m_loaded = false;
    if (m_shown) {
        m_shown = false;
        runtime.CloseForm(*this);
    }
    return true;
}

void Form::SetCaption(std::string caption) {
    m_caption = std::move(caption);
    Notify();
}

void Form::SetEnabled(bool enabled) {
    m_enabled = enabled;
    Notify();
}

void Form::SetBackColor(OLE_COLOR colour) {
    m_backColor = colour;
    m_services.gdi.SetBkColor(m_hdc, colour);
    Notify();
}

void Form::SetClientSize(int width, int height) {
    if (width < 0 || height < 0) {
        throw PlatformError(ErrorNumber::InvalidPropertyValue);
    }
    m_clientWidth = width;
    m_clientHeight = height;
    Notify();
}

void Form::SetClientPosition(int left, int top) {
    m_clientLeft = left;
    m_clientTop = top;
    Notify();
}

void Form::SetIcon(Picture icon) {
    m_icon = std::move(icon);
    Notify();
}

void Form::Notify() const {
    if (m_observer) m_observer();
}

}  // namespace platform
