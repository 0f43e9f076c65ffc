#pragma once

#include <string>

namespace zentrova {

// A name as a file dialog hands it back: a full path. The window's path rules count on the
// folder being part of it.
std::string DialogPath(const std::string& name);

}  // namespace zentrova
