#include "platform/qt/qt_message_boxes.h"

#include <QApplication>

namespace platform {

QMessageBox::Icon QtMessageBoxes::IconForStyle(int style) {
    switch (style & 0x70) {
        case 16:
            return QMessageBox::Critical;
        case 32:
            return QMessageBox::Question;
        case 48:
            return QMessageBox::Warning;
        case 64:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

int QtMessageBoxes::Show(const std::string& prompt, int style, const std::string& title) {
    // Only the OK-only styles are used, so only OK is offered.
    QMessageBox box(IconForStyle(style), QString::fromStdString(title),
                    QString::fromStdString(prompt), QMessageBox::Ok, QApplication::activeWindow());
    // The prompt holds a file name, which may look like markup: it is shown as it stands.
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return vbOK;
}

}  // namespace platform
