#include "main_window/path_functions.h"

#include "platform/forms/continue_on_error.h"
#include "platform/runtime_text.h"
#include "platform/system/dir.h"

namespace zentrova {

using platform::characters::Right;

bool FileExists(const std::string& sSource) {
    bool found = false;
    platform::Step([&] { found = !platform::Dir(sSource, 0).empty(); });
    return found;
}

std::string AddSlash(const std::string& AddPath, const std::string& Slash) {
    if (AddPath.empty()) return Slash;
    // The last character against the whole of Slash: a longer Slash never matches.
    if (Right(AddPath, 1) == Slash) return AddPath;
    return AddPath + Slash;
}

std::string GetFileNameFromString(const std::string& FileString) {
    const std::size_t last = FileString.rfind(kPathSeparator);
    if (last == std::string::npos) return "";
    return FileString.substr(last + 1);
}

}  // namespace zentrova
