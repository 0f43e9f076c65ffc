// zentrova-convert: the main window's File > Open for scripts and batches, with no display.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/headless_conversion.h"

int main(int argc, char** argv) {
    // A file-size limit or a reader that went away fails a write, which is told and counted
    // like any other failure; neither ends the run, nor leaves a save half done.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
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
    return zentrova::ConvertAll(command, std::cout, std::cerr);
}
