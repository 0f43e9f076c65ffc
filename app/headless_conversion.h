#pragma once

#include <iosfwd>
#include <string>

#include "app/command_line.h"

namespace zentrova {

// Runs one input through the main window's own handlers without a display: File > Open
// with the input chosen, then the Save dialog answered as the command says. Prints the
// file written on out, and each message box as a line on err. True when it was written.
bool ConvertFile(const std::string& input, const ConvertCommand& command, std::ostream& out,
                 std::ostream& err);

// Every input in turn, whatever happens to the others: 0 when all were written, else 1.
int ConvertAll(const ConvertCommand& command, std::ostream& out, std::ostream& err);

}  // namespace zentrova
