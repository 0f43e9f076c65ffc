// Starts the runtime with the main window as the start-up form. A file named on the command
// line, or dropped on the window, is opened as if chosen with File > Open.
#include <QApplication>
#include <QTimer>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/current_executable.h"
#include "app/machine_hive.h"
#include "app/open_from_desktop.h"
#include "app/write_signals.h"
#include "main_window/frm_main.h"
#include "platform/qt/qt_file_dialogs.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_runtime.h"
#include "resources/application_record.h"

namespace {

std::vector<std::string> Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::vector<std::string> Arguments(const QStringList& arguments) {
    std::vector<std::string> args;
    for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(arguments[i].toStdString());
    return args;
}

// Help and version need no display; anything else is decided once Qt has taken its own
// options (-platform, -style, ...) out of the arguments.
int Answer(const zentrova::DesktopCommand& command) {
    switch (command.kind) {
        case zentrova::CommandKind::Help:
            std::cout << zentrova::DesktopUsage();
            return 0;
        case zentrova::CommandKind::Version:
            std::cout << "zentrova " << zentrova::ProgramVersion() << '\n';
            return 0;
        default:
            std::cerr << "zentrova: " << command.error << '\n'
                      << "Try 'zentrova --help' for more information.\n";
            return 2;
    }
}

}  // namespace

int main(int argc, char** argv) {
    zentrova::TakeWriteSignalsAsFailures();
    if (const auto early = zentrova::ParseDesktopCommand(Arguments(argc, argv));
        early.kind == zentrova::CommandKind::Help || early.kind == zentrova::CommandKind::Version) {
        return Answer(early);
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(zentrova::kApplicationRecord.Title));
    QApplication::setApplicationVersion(QString::fromStdString(zentrova::ProgramVersion()));
    // The desktop entry's name, so that the window is matched with its launcher and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zentrova.Zentrova"));

    const zentrova::DesktopCommand command =
        zentrova::ParseDesktopCommand(Arguments(QApplication::arguments()));
    if (command.kind != zentrova::CommandKind::Run) return Answer(command);

    platform::Gdi gdi;
    platform::QtFileDialogs qtFileDialogs;
    zentrova::PresetFileDialogs fileDialogs(qtFileDialogs);
    platform::QtMessageBoxes messageBoxes;
    platform::QtRuntime runtime;
    // The About box's system-information program is named in the hive installed beside us.
    platform::Registry registry = zentrova::LoadMachineRegistry(
        zentrova::MachineHivePath(zentrova::CurrentExecutable()), std::cerr);
    platform::ProcessShell shell;
    platform::Services services{gdi, fileDialogs, messageBoxes, runtime, registry, shell};

    zentrova::frmMain form(services);
    zentrova::OpenDroppedFiles(form, fileDialogs);
    if (command.file) {
        // Once the window is up, so that the dialogs have it as their parent.
        QTimer::singleShot(0, &application, [&] { fileDialogs.OpenFile(form, *command.file); });
    }
    return runtime.Run(form);
}
