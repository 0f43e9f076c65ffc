#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "app/command_line.h"

namespace zentrova {

// Runs one input through the main window's own handlers without a display: File > Open
// with the input chosen, then the Save dialog answered as the command says. Prints each
// message box as a line on err. Returns the full path of the file written, if one was.
std::optional<std::string> ConvertFile(const std::string& input, const ConvertCommand& command,
                                       std::ostream& err);

// Every input in turn, whatever happens to the others, each file written printed on out:
// 0 when all were written and printed, else 1. A file written a second time is warned
// about on err. The folder of -d is made first when missing; when it cannot be, nothing is
// converted and the answer is 1.
int ConvertAll(const ConvertCommand& command, std::ostream& out, std::ostream& err);

}  // namespace zentrova
