// Starts the runtime with the main window as the start-up form.
#include <QApplication>

#include "main_window/frm_main.h"
#include "platform/qt/qt_file_dialogs.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_runtime.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Zentrova");
    QApplication::setApplicationVersion("1.0.38");

    platform::Gdi gdi;
    platform::QtFileDialogs fileDialogs;
    platform::QtMessageBoxes messageBoxes;
    platform::QtRuntime runtime;
    platform::Services services{gdi, fileDialogs, messageBoxes, runtime};

    zentrova::frmMain form(services);
    return runtime.Run(form);
}
