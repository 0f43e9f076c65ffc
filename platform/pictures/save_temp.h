#pragma once

#include <array>
#include <string>
#include <system_error>

namespace platform {

// The temporary file of one save: a new file in the target's folder under a short name of
// one fixed pattern, ".zentrova-" and six letters or digits, so that it fits wherever the
// target's own name fits. Its name is removed when the object goes, unless it was renamed.
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
    const char* Name() const { return m_name.data(); }

    std::error_code Close();
    // Gives the file the name in the same folder, replacing a file of that name.
    std::error_code RenameTo(const std::string& name);

  private:
    int m_folder;
    int m_fd = -1;
    bool m_named = false;
    std::array<char, 17> m_name{};
    std::error_code m_error;
};

}  // namespace platform
