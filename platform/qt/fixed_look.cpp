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
    set(QPalette::WindowText, COLOR_BTNTEXT);
    set(QPalette::Base, COLOR_WINDOW);
    set(QPalette::AlternateBase, COLOR_BTNFACE);
    set(QPalette::Text, COLOR_WINDOWTEXT);
    set(QPalette::Button, COLOR_BTNFACE);
    set(QPalette::ButtonText, COLOR_BTNTEXT);
    set(QPalette::Light, COLOR_BTNHIGHLIGHT);
    set(QPalette::Midlight, COLOR_3DLIGHT);
    set(QPalette::Mid, COLOR_BTNSHADOW);
    set(QPalette::Dark, COLOR_BTNSHADOW);
    set(QPalette::Shadow, COLOR_3DDKSHADOW);
    set(QPalette::Highlight, COLOR_HIGHLIGHT);
    set(QPalette::HighlightedText, COLOR_HIGHLIGHTTEXT);
    set(QPalette::ToolTipBase, COLOR_INFOBK);
    set(QPalette::ToolTipText, COLOR_INFOTEXT);
    set(QPalette::BrightText, COLOR_HIGHLIGHTTEXT);
    const QColor greyText = ToQColor(SystemColour(COLOR_GRAYTEXT));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, greyText);
    palette.setColor(QPalette::Disabled, QPalette::Text, greyText);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, greyText);
    application.setPalette(palette);
}

}  // namespace platform
