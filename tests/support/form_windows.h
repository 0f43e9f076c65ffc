#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QTest>

#include "platform/qt/form_window.h"

namespace test_support {

// The window a form is shown in: the visible top-level window named as the form, or null
// when it is not shown (never, or no longer).
inline platform::FormWindow* ShownWindow(const platform::Form& form) {
    const QString name = QString::fromStdString(form.Name());
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<platform::FormWindow*>(widget);
        if (window && window->isVisible() && window->objectName() == name) return window;
    }
    return nullptr;
}

// Makes the window the active one, as a click on it would, and waits until it is.
inline void Activate(QWidget& window) {
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}

// Shows the form and returns its window, active; null when no window came up.
inline platform::FormWindow* ShowActive(platform::Form& form) {
    form.Show();
    platform::FormWindow* window = ShownWindow(form);
    if (window) Activate(*window);
    return window;
}

// What the window system shows of a top-level window now, read without painting anything:
// grab() would paint the widgets afresh and so hide what a real repaint would have done.
inline QImage OnScreen(const QWidget& window) {
    return window.screen()->grabWindow(window.winId()).toImage();
}

}  // namespace test_support
