// The help window: the plug-in's one top-level window, created on the first command
// and activated on the next. Win32 only.
#pragma once

#include <windows.h>

#include "library/host_db.h"

#include <string>

namespace orv::helpwindow {

inline constexpr const wchar_t* kWindowClass = L"OrvintaHelp";
inline constexpr const char* kCaption = "Orvinta 编程帮助文档";
inline constexpr const char* kVersionText = "2.0.7";
// What the user reads when the window could not be opened, before the reason.
inline constexpr const char* kOpenFailed = "无法打开帮助窗口。";
// Posted to itself at creation; the second parameter is the open mode.
inline constexpr UINT kStartupMessage = 4096;

// Creates the window (open mode 0 or 1) over the libraries of `db` or, when it exists,
// restores it, brings it to the front and flashes it. `ideFolder` locates the settings
// file, the view folder and the engine. A window that could not be created is reported
// to the user.
void openHelpWindow(library::HostDb& db, const std::string& ideFolder, int openMode);

// The window's handle, or null when it is not open.
HWND helpWindowHandle();

}  // namespace orv::helpwindow
