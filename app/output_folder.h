#pragma once

#include <ostream>
#include <string>

namespace zentrova {

// The same file under any name: its folder's links resolved, so a/x and ./a/x meet. The
// converter keeps these to warn when one run writes a file twice.
std::string SameFileKey(const std::string& path);

// The folder of -d, made as `mkdir -p` makes it, so that a fresh one needs no step first. When
// it cannot be, says so on `err`, ending "so no input was `undone`".
bool MakeOutputFolder(const std::string& folder, const char* undone, std::ostream& err);

}  // namespace zentrova
