#include "platform/qt/fixed_look.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

#include "platform/qt/qt_images.h"

namespace platform {

void ApplyFixedLook(QApplication& application) {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        application.setStyle(fusion);  // the application takes ownership
    }
    QPalette palette;
    const auto set = [&](QPalette::ColorRole role, int systemIndex) {
        palette.setColor(QPalette::All, role, ToQColor(SystemColour(systemIndex)));
    };
    set(QPalette::Window, COLOR_BTNFACE);
    set(QPalette::WindowText, 18);  // button text
    set(QPalette::Base, COLOR_WINDOW);
    set(QPalette::AlternateBase, COLOR_BTNFACE);
    set(QPalette::Text, COLOR_WINDOWTEXT);
    set(QPalette::Button, COLOR_BTNFACE);
    set(QPalette::ButtonText, 18);
    set(QPalette::Light, 20);     // button highlight
    set(QPalette::Midlight, 22);  // 3-D light
    set(QPalette::Mid, 16);       // button shadow
    set(QPalette::Dark, 16);
    set(QPalette::Shadow, 21);  // 3-D dark shadow
    set(QPalette::Highlight, 13);
    set(QPalette::HighlightedText, 14);
    set(QPalette::ToolTipBase, 24);
    set(QPalette::ToolTipText, 23);
    set(QPalette::BrightText, 14);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, ToQColor(SystemColour(17)));
    palette.setColor(QPalette::Disabled, QPalette::Text, ToQColor(SystemColour(17)));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, ToQColor(SystemColour(17)));
    application.setPalette(palette);
}

}  // namespace platform
