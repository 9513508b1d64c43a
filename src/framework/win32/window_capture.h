// A picture of a window as the screen shows it, saved as PNG: for tests and the IDE
// stand-in's screenshots. Win32 only.
#pragma once

#include <windows.h>

#include <string>

namespace orv::framework {

// The screen's pixels inside the window's rectangle (what covers the window is in the
// picture too), written to `path`. False with `error` naming the failed step.
bool SaveWindowPng(HWND window, const std::wstring& path, std::string* error = nullptr);

}  // namespace orv::framework
