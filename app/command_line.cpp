#include "app/command_line.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <set>

#include "main_window/size_menu.h"
#include "resources/application_record.h"

namespace zentrova {

namespace {

// Splits "--name=value" and "-xvalue"; the value of "--name value" is taken by the caller.
struct Option {
    std::string name;
    std::optional<std::string> value;
};

Option SplitOption(const std::string& arg) {
    if (arg.starts_with("--")) {
        const std::size_t equals = arg.find('=');
        if (equals == std::string::npos) return {arg, std::nullopt};
        return {arg.substr(0, equals), arg.substr(equals + 1)};
    }
    if (arg.size() > 2) return {arg.substr(0, 2), arg.substr(2)};
    return {arg, std::nullopt};
}

std::optional<int> ParseSize(const std::string& text) {
    for (const int side : kSizeMenuSides) {
        if (text == std::to_string(side)) return side;
    }
    return std::nullopt;
}

// The Size menu's sides in a line of text: "16, 24, 32, 48 or 64", or "16|24|32|48|64".
std::string Sides(const std::string& separator, const std::string& last) {
    std::string text;
    for (std::size_t i = 0; i < kSizeMenuSides.size(); ++i) {
        if (i > 0) text += i + 1 == kSizeMenuSides.size() ? last : separator;
        text += std::to_string(kSizeMenuSides[i]);
    }
    return text;
}

// Notes --help and --version: they win over everything else on the line, help first.
bool NoteHelpOrVersion(const std::string& arg, std::optional<CommandKind>& answer) {
    if (arg == "-h" || arg == "--help") {
        answer = CommandKind::Help;
        return true;
    }
    if (arg == "--version") {
        if (!answer) answer = CommandKind::Version;
        return true;
    }
    return false;
}

// An option that the mode does not take: --list and --extract write no converted file.
std::string ModeMisuse(ConvertMode mode, const std::set<std::string>& seen) {
    if (mode == ConvertMode::Convert) return {};
    const std::string name = mode == ConvertMode::List ? "--list" : "--extract";
    const std::set<std::string> others = mode == ConvertMode::List
                                             ? std::set<std::string>{"--size", "-o", "-d"}
                                             : std::set<std::string>{"--size", "-o"};
    for (const std::string& option : others) {
        if (seen.contains(option)) return option + " cannot be used with " + name;
    }
    return {};
}

ConvertCommand UsageError(std::string error) {
    ConvertCommand command;
    command.kind = CommandKind::UsageError;
    command.error = std::move(error);
    return command;
}

}  // namespace

std::string ProgramVersion() {
    return std::to_string(kApplicationRecord.Major) + "." +
           std::to_string(kApplicationRecord.Minor) + "." +
           std::to_string(kApplicationRecord.Revision);
}

ConvertCommand ParseConvertCommand(const std::vector<std::string>& args) {
    ConvertCommand command;
    std::optional<CommandKind> answer;
    // The first fault, told only when neither help nor version is asked for.
    std::string fault;
    const auto fail = [&fault](std::string text) {
        if (fault.empty()) fault = std::move(text);
    };

    std::set<std::string> seen;  // the options given, by their short name where they have one
    IconSetWords iconSet;

    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || !arg.starts_with("-")) {
            command.inputs.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (NoteHelpOrVersion(arg, answer)) continue;
        Option option = SplitOption(arg);
        if (option.name == "-0" || option.name == "--null") {
            if (option.value) fail(option.name + " takes no value");
            command.nullEnded = true;
            continue;
        }
        if (option.name == "--list" || option.name == "--extract") {
            if (option.value) fail(option.name + " takes no value");
            const ConvertMode mode =
                option.name == "--list" ? ConvertMode::List : ConvertMode::Extract;
            if (command.mode != ConvertMode::Convert && command.mode != mode) {
                fail("--list and --extract cannot be used together");
            }
            command.mode = mode;
            continue;
        }
        if (option.name == "--png" || option.name == "--cursor") {
            if (option.value) fail(option.name + " takes no value");
            (option.name == "--png" ? iconSet.png : iconSet.cursor) = true;
            iconSet.any = true;
            continue;
        }
        if (option.name == "--key") {
            // The colour is optional: the next word is taken only when it is one.
            if (!option.value && i + 1 < args.size() && ParseKeyColour(args[i + 1])) {
                option.value = args[++i];
            }
            if (option.value && option.value->empty()) fail("--key= needs a colour, RRGGBB");
            iconSet.key = option.value.value_or("");
            iconSet.any = true;
            continue;
        }
        const bool known = option.name == "--size" || option.name == "-o" ||
                           option.name == "--output" || option.name == "-d" ||
                           option.name == "--directory" || option.name == "--sizes" ||
                           option.name == "--hotspot";
        if (!known) {
            fail("unknown option " + arg);
            continue;
        }
        // The next word is the value as written, whatever it looks like: "-o --help" names
        // a file "--help".
        if (!option.value) {
            if (i + 1 == args.size()) {
                fail(option.name + " needs a value");
                break;
            }
            option.value = args[++i];
        }
        const std::string& value = *option.value;
        seen.insert(option.name == "--output"      ? "-o"
                    : option.name == "--directory" ? "-d"
                                                   : option.name);
        if (option.name == "--sizes" || option.name == "--hotspot") {
            (option.name == "--sizes" ? iconSet.sizes : iconSet.hotspot) = value;
            iconSet.any = true;
        } else if (option.name == "--size") {
            command.size = ParseSize(value);
            if (!command.size) fail("--size is " + Sides(", ", " or ") + ", not " + value);
        } else if (value.empty()) {
            fail(option.name + " needs a value");
        } else if (option.name == "-o" || option.name == "--output") {
            if (!command.output.empty()) fail("-o is given twice");
            command.output = value;
        } else {
            if (!command.directory.empty()) fail("-d is given twice");
            command.directory = value;
        }
    }

    if (answer) {
        ConvertCommand answered;
        answered.kind = *answer;
        return answered;
    }
    if (!fault.empty()) return UsageError(fault);
    if (const std::string misuse = ModeMisuse(command.mode, seen); !misuse.empty()) {
        return UsageError(misuse);
    }
    if (command.mode != ConvertMode::Convert && iconSet.any) {
        return UsageError(
            "--sizes, --png, --key, --cursor and --hotspot make icons: not with --list or "
            "--extract");
    }
    if (AsksForIconSet(iconSet, command.output)) {
        if (command.size) {
            return UsageError("--size is the window's Size menu; use --sizes instead");
        }
        std::string error = SettleIconSet(iconSet, command.output, command.iconSet);
        if (!error.empty()) return UsageError(error);
    }
    if (command.inputs.empty()) return UsageError("no input file");
    if (std::ranges::find(command.inputs, "") != command.inputs.end()) {
        return UsageError("an input file name is empty");
    }
    if (!command.output.empty() && !command.directory.empty()) {
        return UsageError("-o and -d cannot be used together");
    }
    if (!command.output.empty()) {
        if (command.inputs.size() > 1) return UsageError("-o takes one input file only");
        // The Save dialog answers with a file; a folder there means -d.
        std::error_code ignored;
        if (command.output.ends_with('/') ||
            std::filesystem::is_directory(command.output, ignored)) {
            return UsageError("-o names a folder; use -d " + command.output);
        }
    }
    return command;
}

DesktopCommand ParseDesktopCommand(const std::vector<std::string>& args) {
    DesktopCommand command;
    std::optional<CommandKind> answer;
    std::string fault;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && NoteHelpOrVersion(arg, answer)) {
            continue;
        } else if (!optionsEnded && arg.starts_with("-") && arg != "-") {
            if (fault.empty()) fault = "unknown option " + arg;
        } else {
            files.push_back(arg);
        }
    }
    if (answer) {
        command.kind = *answer;
    } else if (!fault.empty() || files.size() > 1) {
        command.kind = CommandKind::UsageError;
        command.error =
            !fault.empty() ? fault : "one file at a time: the window opens one picture or icon";
    } else if (!files.empty()) {
        command.file = files.front();
    }
    return command;
}

std::string ConvertUsage() {
    return "Usage: zentrova-convert [--size " + Sides("|", "|") +
           "] [-o OUTPUT | -d DIR] [-0] INPUT...\n"
           "       zentrova-convert --list [-0] ICON...\n"
           "       zentrova-convert --extract [-d DIR] [-0] ICON...\n"
           "       zentrova-convert --sizes LIST [--png] [--key[=RRGGBB]] [--cursor]\n"
           "                        [--hotspot X,Y] [-o OUTPUT | -d DIR] [-0] INPUT...\n"
           "Converts pictures to icons and icons to pictures without a window, exactly as\n"
           "File > Open in Zentrova does: a picture (JPEG, GIF, BMP, PNG, cursor) becomes a\n"
           "32 x 32 .ICO file, an icon (a name ending in .ico) a .BMP file.\n"
           "\n"
           "  -o, --output OUTPUT    save as OUTPUT (one INPUT only)\n"
           "  -d, --directory DIR    save in DIR, under each input's own name; DIR is made\n"
           "                         first if missing, as mkdir -p does\n"
           "      --size N           the Size menu: the source panes show N x N pixels\n"
           "                         (" +
           Sides(", ", " or ") +
           "; 32 when not given)\n"
           "      --sizes LIST       an icon of several sizes from the whole picture, each\n"
           "                         scaled to fit its square: sizes from 1 to 256 such as\n"
           "                         16,32,48, or a set: windows (16,24,32,48,64,256),\n"
           "                         favicon (16,32,48), cursor (32,48,64)\n"
           "      --png              store every size as PNG (else only 256)\n"
           "      --key[=RRGGBB]     make the top-left pixel's colour (or RRGGBB) transparent\n"
           "                         first; the next word is the colour if it is one\n"
           "      --cursor           write a cursor (.CUR); so does an OUTPUT named .cur\n"
           "      --hotspot X,Y      the cursor's hot spot in the largest entry's pixels\n"
           "  -0, --null             end each path printed with NUL instead of a newline,\n"
           "                         for names that hold newlines (xargs -0 reads them)\n"
           "      --list             print one line for each entry of each icon or cursor,\n"
           "                         its fields separated by tabs: index (from 0), WxH, bits\n"
           "                         per pixel, BMP or PNG, hot spot X,Y (- for an icon),\n"
           "                         bytes, and the file's name\n"
           "      --extract          write each entry as a PNG file with its alpha, named\n"
           "                         NAME-WxH.png, and NAME-WxH-Nbit.png for another entry\n"
           "                         of the same size; beside the icon, or in DIR\n"
           "  -h, --help             show this help and exit\n"
           "      --version          show the version and exit\n"
           "\n"
           "Without -o or -d each result is saved beside its input, under the input's name.\n"
           "The extension .ICO or .BMP is added unless the name already ends in it.\n"
           "Each file written is printed; each problem is a line on standard error.\n"
           "A file written twice in one run (two inputs of the same name with -d) holds\n"
           "the last; a warning says so.\n"
           "The word after -o, -d or --size is its value as written: -o --help x.jpg\n"
           "saves --help.ICO.\n"
           "Exit status: 0 when every input was written (or listed) and its path printed,\n"
           "1 when any was not, 2 for a usage error.\n";
}

std::string DesktopUsage() {
    return "Usage: zentrova [FILE]\n"
           "Turns pictures into 32 x 32 icons and icons into pictures. With FILE, starts as if\n"
           "FILE had been chosen with File > Open, and asks where to save the result.\n"
           "\n"
           "  -h, --help       show this help and exit\n"
           "      --version    show the version and exit\n"
           "\n"
           "zentrova-convert does the same without a window.\n";
}

}  // namespace zentrova
