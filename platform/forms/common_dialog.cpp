#include "platform/forms/common_dialog.h"

namespace platform {

void CommonDialog::Show(FileDialogMode mode) {
    FileName = m_service.Show(FileDialogRequest{mode, DialogTitle, Filter, FileName}).value_or("");
}

}  // namespace platform
