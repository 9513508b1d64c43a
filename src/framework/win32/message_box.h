// Message boxes of the plug-in's windows, always under the plug-in's caption. Win32 only.
#pragma once

#include <windows.h>

#include <string_view>

namespace orv::framework {

// `text` is UTF-8; `flags` are MessageBoxW's (buttons, icon, default button). The
// button pressed (IDOK, IDYES, ...), or 0 when no box could be shown.
int ShowMessageBox(HWND owner, std::string_view text, UINT flags);

}  // namespace orv::framework
