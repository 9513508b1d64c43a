// Keeps a page view on our own pages: every request the page makes passes the navigation
// guard before the engine loads it; what the guard refuses is cancelled, and a web or
// mail address the user clicked goes to the user's own browser instead, once the engine's
// callback has returned. Win32 only.
#pragma once

#include "framework/win32/browser_control.h"

#include <functional>
#include <string>

namespace orv::framework {

// Opens an address outside the plug-in (the system's browser).
using OpenOutside = std::function<void(const std::wstring& url)>;

// Registers the control's "NAVIGATION" and "LOADURLBEGIN" events for the guard over
// `ideFolder`. False when the control has no view or the engine cannot be told.
bool GuardPageView(BrowserControl& control, const std::wstring& ideFolder, OpenOutside openOutside);

// The system's way: ShellExecute "open".
void OpenInSystemBrowser(const std::wstring& url);

}  // namespace orv::framework
