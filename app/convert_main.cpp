// zentrova-convert: the main window's File > Open for scripts and batches, with no display.
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/headless_conversion.h"
#include "app/icon_entries.h"
#include "app/icon_extraction.h"
#include "app/write_signals.h"

int main(int argc, char** argv) {
    zentrova::TakeWriteSignalsAsFailures();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const zentrova::ConvertCommand command = zentrova::ParseConvertCommand(args);
    switch (command.kind) {
        case zentrova::CommandKind::Help:
            std::cout << zentrova::ConvertUsage();
            return 0;
        case zentrova::CommandKind::Version:
            std::cout << "zentrova-convert " << zentrova::ProgramVersion() << '\n';
            return 0;
        case zentrova::CommandKind::UsageError:
            std::cerr << "zentrova-convert: " << command.error << '\n'
                      << "Try 'zentrova-convert --help' for more information.\n";
            return 2;
        case zentrova::CommandKind::Run:
            break;
    }
    switch (command.mode) {
        case zentrova::ConvertMode::List:
            return zentrova::ListIcons(command, std::cout, std::cerr);
        case zentrova::ConvertMode::Extract:
            return zentrova::ExtractIcons(command, std::cout, std::cerr);
        case zentrova::ConvertMode::Convert:
            break;
    }
    return zentrova::ConvertAll(command, std::cout, std::cerr);
}
