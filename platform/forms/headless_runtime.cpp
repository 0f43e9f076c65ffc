#include "platform/forms/headless_runtime.h"

#include <algorithm>

namespace platform {

void HeadlessRuntime::ShowForm(Form& form) {
    if (m_ended || IsShown(form)) return;
    m_shown.push_back(&form);
    m_everShown = true;
}

void HeadlessRuntime::CloseForm(Form& form) {
    std::erase(m_shown, &form);
}

void HeadlessRuntime::End() {
    m_ended = true;
    m_shown.clear();
}

bool HeadlessRuntime::IsShown(const Form& form) const {
    return std::find(m_shown.begin(), m_shown.end(), &form) != m_shown.end();
}

}  // namespace platform
