#pragma once

#include <windows.h>

#include <string>
#include <system_error>

namespace platform {

// The temporary file of one save: a new file in the target's folder under a short name of
// one fixed pattern, ".zentrova-" and six letters or digits. The save holds it open, sharing
// only its removal by a rename, until it is renamed: while it is open no other save can open
// it alone, which tells the next save a live temporary file from one whose save is gone. It
// is removed when the object goes, unless it was renamed.
class SaveTemp {
  public:
    // Creates the file in the folder (a wide path ending in a separator, or empty for the
    // current folder).
    explicit SaveTemp(const std::wstring& folder);
    ~SaveTemp();
    SaveTemp(const SaveTemp&) = delete;
    SaveTemp& operator=(const SaveTemp&) = delete;

    // Why the file could not be made; the other members need a file that was.
    std::error_code Error() const { return m_error; }
    HANDLE Handle() const { return m_handle; }

    // Puts the file in place of `target`, replacing a file of that name, and makes the new
    // name last before it returns.
    std::error_code RenameTo(const std::wstring& target);

  private:
    std::wstring m_path;
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    bool m_named = false;
    std::error_code m_error;
};

// Removes what saves into the folder left behind: regular files of the saves' own pattern
// that no process holds open.
void RemoveStaleSaveTemps(const std::wstring& folder);

}  // namespace platform
