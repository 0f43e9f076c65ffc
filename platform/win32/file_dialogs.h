#pragma once

#include <string>

#include "platform/forms/common_dialog.h"

namespace platform::win32 {

// The file dialog service as the system's own dialogs, GetOpenFileNameW and GetSaveFileNameW,
// owned by the active window. The Open dialog hands back any typed name, existing or not (the
// program tells the user a file is missing); the Save dialog replaces a file without asking.
class Win32FileDialogs : public FileDialogService {
  public:
    std::optional<std::string> Show(const FileDialogRequest& request) override;

    // "desc|*.A;*.B|desc2|*.C" as the dialog takes it: each "|" a NUL, ended by two NULs.
    static std::wstring NativeFilter(const std::string& filter);
};

}  // namespace platform::win32
