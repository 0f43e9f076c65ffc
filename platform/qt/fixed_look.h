#pragma once

class QApplication;

namespace platform {

// One style and one palette, built from the fixed colour table, so that a dark desktop
// theme changes nothing the program draws. main() owns the application; this only sets
// its look.
void ApplyFixedLook(QApplication& application);

}  // namespace platform
