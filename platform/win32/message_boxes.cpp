#include "platform/win32/message_boxes.h"

#include "platform/win32/window_text.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

int Win32MessageBoxes::Show(const std::string& prompt, int style, const std::string& title) {
    const std::wstring text = WideText(prompt);
    const std::wstring caption = WideText(title);
    // The style's values are the system's: buttons in the low bits, the icon above them.
    const UINT type = static_cast<UINT>(style) & (MB_TYPEMASK | MB_ICONMASK | MB_DEFMASK);
    const int answer = ::MessageBoxW(::GetActiveWindow(), text.c_str(), caption.c_str(), type);
    return answer == 0 ? vbOK : answer;
}

}  // namespace platform::win32
