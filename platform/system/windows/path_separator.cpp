#include "platform/system/path_separator.h"

namespace platform {

const char kPathSeparator[] = "\\";

}  // namespace platform
