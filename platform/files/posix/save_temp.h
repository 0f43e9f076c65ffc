#pragma once

#include <array>
#include <string>
#include <system_error>

#include "platform/files/posix/save_signals.h"

namespace platform {

// The temporary file of one save: a new file in the target's folder under a short name of
// one fixed pattern, ".zentrova-" and six letters or digits, so that it fits wherever the
// target's own name fits. The save holds an exclusive lock on it from before anyone can
// rely on its name until it is renamed, which tells the next save a live temporary file from
// one whose save is gone. Its name is removed when the object goes, unless it was renamed,
// and on SIGTERM, SIGINT and SIGHUP.
class SaveTemp {
  public:
    // Creates the file in the folder open as `folder`, with mode 0666 less the umask.
    explicit SaveTemp(int folder);
    ~SaveTemp();
    SaveTemp(const SaveTemp&) = delete;
    SaveTemp& operator=(const SaveTemp&) = delete;

    // Why the file could not be made; the other members need a file that was.
    std::error_code Error() const { return m_error; }
    int Descriptor() const { return m_fd; }

    // Gives the file the name in the same folder, replacing a file of that name.
    std::error_code RenameTo(const std::string& name);

  private:
    int m_folder;
    int m_fd = -1;
    bool m_named = false;
    std::array<char, 17> m_name{};
    std::error_code m_error;
    TempRemovedOnSignal m_onSignal;
};

// Removes what saves into the folder left behind: regular files of the saves' own pattern
// that no save holds, or, where that cannot be told (no locks on the file system, a file we
// may not open), that have not changed for a minute. Needs a folder it may list.
void RemoveStaleSaveTemps(int folder);

}  // namespace platform
