#pragma once

#include <optional>
#include <string>

namespace platform {

enum class FileDialogMode { Open, Save };

struct FileDialogRequest {
    FileDialogMode mode = FileDialogMode::Open;
    std::string title;
    // Entries of description "|" patterns, patterns separated by ";".
    std::string filter;
    // Where the dialog starts: its folder and name.
    std::string fileName;
};

// Shows a modal file dialog. The Qt binding implements it; tests script it.
class FileDialogService {
  public:
    virtual ~FileDialogService() = default;
    // The chosen full path, or nullopt when the user cancelled.
    virtual std::optional<std::string> Show(const FileDialogRequest& request) = 0;
};

// The form's file dialog control. It has no window of its own, and its properties keep
// their values from one use to the next.
class CommonDialog {
  public:
    explicit CommonDialog(FileDialogService& service) : m_service(service) {}

    std::string Filter;
    std::string DialogTitle = "Open";
    std::string FileName;

    // Afterwards FileName is the chosen path, or "" when the user cancelled.
    void ShowOpen() { Show(FileDialogMode::Open); }
    void ShowSave() { Show(FileDialogMode::Save); }

  private:
    void Show(FileDialogMode mode);

    FileDialogService& m_service;
};

}  // namespace platform
