#pragma once

#include <string>

namespace platform {

inline constexpr int vbOKOnly = 0;
inline constexpr int vbCritical = 16;
inline constexpr int vbExclamation = 48;
inline constexpr int vbOK = 1;

// Shows a modal message box. The Qt binding implements it; tests script it.
class MessageBoxService {
  public:
    virtual ~MessageBoxService() = default;
    // Returns the button pressed: vbOK for the OK-only styles this program uses.
    virtual int Show(const std::string& prompt, int style, const std::string& title) = 0;
};

inline int MsgBox(MessageBoxService& service, const std::string& prompt, int style,
                  const std::string& title) {
    return service.Show(prompt, style, title);
}

}  // namespace platform
