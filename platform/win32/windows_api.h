#pragma once

// The Win32 headers for the window code, included through here only. Several of their macros
// carry names the platform layer uses for its own constants and functions (the system colour
// indices, RGB, the registry's roots and results, SRCCOPY, S_OK, ...); those macros are undone,
// so that the platform's names mean the platform's values. Where they overlap the values are
// the same, so the window code uses the platform's names.
// The wide calls throughout; the macros without a suffix (IDC_ARROW, ...) mean those too.
#ifndef UNICODE
#define UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// The rest after windows.h, which they need.
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#undef RGB
#undef GetRValue
#undef GetGValue
#undef GetBValue
#undef COLOR_SCROLLBAR
#undef COLOR_BACKGROUND
#undef COLOR_ACTIVECAPTION
#undef COLOR_INACTIVECAPTION
#undef COLOR_MENU
#undef COLOR_WINDOW
#undef COLOR_WINDOWFRAME
#undef COLOR_MENUTEXT
#undef COLOR_WINDOWTEXT
#undef COLOR_CAPTIONTEXT
#undef COLOR_ACTIVEBORDER
#undef COLOR_INACTIVEBORDER
#undef COLOR_APPWORKSPACE
#undef COLOR_HIGHLIGHT
#undef COLOR_HIGHLIGHTTEXT
#undef COLOR_BTNFACE
#undef COLOR_BTNSHADOW
#undef COLOR_GRAYTEXT
#undef COLOR_BTNTEXT
#undef COLOR_INACTIVECAPTIONTEXT
#undef COLOR_BTNHIGHLIGHT
#undef COLOR_3DDKSHADOW
#undef COLOR_3DLIGHT
#undef COLOR_INFOTEXT
#undef COLOR_INFOBK
#undef SRCCOPY
#undef HKEY_CLASSES_ROOT
#undef HKEY_CURRENT_USER
#undef HKEY_LOCAL_MACHINE
#undef HKEY_USERS
#undef HKEY_CURRENT_CONFIG
#undef ERROR_SUCCESS
#undef ERROR_FILE_NOT_FOUND
#undef ERROR_INVALID_HANDLE
#undef ERROR_INVALID_PARAMETER
#undef ERROR_BAD_PATHNAME
#undef ERROR_MORE_DATA
#undef REG_NONE
#undef REG_SZ
#undef REG_EXPAND_SZ
#undef REG_BINARY
#undef REG_DWORD
#undef REG_MULTI_SZ
#undef REG_QWORD
#undef REG_OPTION_OPEN_LINK
#undef S_OK
#undef E_INVALIDARG
#undef E_NOINTERFACE
