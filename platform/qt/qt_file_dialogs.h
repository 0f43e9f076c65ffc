#pragma once

#include <QStringList>

#include "platform/forms/common_dialog.h"

class QFileDialog;

namespace platform {

// The file dialog service as a Qt dialog (Qt's own, not the desktop's, so that it behaves
// the same everywhere and tests can drive it).
class QtFileDialogs : public FileDialogService {
  public:
    std::optional<std::string> Show(const FileDialogRequest& request) override;

    // "desc|*.A;*.B|desc2|*.C" becomes {"desc (*.A *.B)", "desc2 (*.C)"}.
    static QStringList NameFilters(const std::string& filter);
    // Sets the dialog up for the request: title, mode, filters shown by their descriptions
    // alone and matched in any letter case, starting folder and name, any typed name
    // accepted, no question before overwriting.
    static void Configure(QFileDialog& dialog, const FileDialogRequest& request);
};

}  // namespace platform
