#pragma once

#include <optional>
#include <string>
#include <vector>

#include "icon_set/icon_set_options.h"

namespace zentrova {

// "1.0.38": the version both programs print, from the application record.
std::string ProgramVersion();

enum class CommandKind { Run, Help, Version, UsageError };

// What the converter does with its inputs: convert them, list the entries of icons and
// cursors (--list), or write those entries as PNG files (--extract).
enum class ConvertMode { Convert, List, Extract };

// zentrova-convert [--size 16|24|32|48|64 | --sizes LIST [--png] [--key[=RRGGBB]]
//                   [--cursor] [--hotspot X,Y]] [-o OUTPUT | -d DIR] [-0] INPUT...
//                  --list [-0] ICON...
//                  --extract [-d DIR] [-0] ICON...
struct ConvertCommand {
    CommandKind kind = CommandKind::Run;
    ConvertMode mode = ConvertMode::Convert;
    std::string error;        // for a usage error
    std::optional<int> size;  // the Size menu entry "NxN" to click first
    std::string output;       // -o: the Save dialog's answer (one input only)
    std::string directory;    // -d: the folder the offered names are put in
    bool nullEnded = false;   // -0: each path printed ends in NUL, not in a newline
    // Icons of several sizes from the whole picture, not the window's: with any of their
    // options, or an output named .cur.
    std::optional<IconSetOptions> iconSet;
    std::vector<std::string> inputs;
};

// zentrova [FILE]
struct DesktopCommand {
    CommandKind kind = CommandKind::Run;
    std::string error;
    std::optional<std::string> file;  // opened at start as if chosen in the Open dialog
};

// The arguments after the program's name. --help and --version win over everything else
// before "--", so they answer even beside arguments that are wrong.
ConvertCommand ParseConvertCommand(const std::vector<std::string>& args);
DesktopCommand ParseDesktopCommand(const std::vector<std::string>& args);

std::string ConvertUsage();
std::string DesktopUsage();

}  // namespace zentrova
