#pragma once

// Resource IDs that the executables' resource script and the window code share. The resource
// compiler reads only the preprocessor's macros, so these are macros.

// The application icon: the first icon group, so it is also the executable file's icon.
// LoadImageW(instance, MAKEINTRESOURCEW(ZENTROVA_APPLICATION_ICON), IMAGE_ICON, 32, 32, 0)
#define ZENTROVA_APPLICATION_ICON 1
