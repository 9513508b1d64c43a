// Keeps a page view to its navigation policy: every document the view would show and
// every request a shown page makes passes the policy before the engine loads it; what the
// policy refuses is cancelled, and a web or mail address the user clicked goes to the
// user's own browser instead, once the engine's callback has returned. Win32 only.
#pragma once

#include "framework/navigation_guard.h"
#include "framework/win32/browser_control.h"

#include <functional>
#include <memory>
#include <string>

namespace orv::framework {

// Opens an address outside the plug-in (the system's browser).
using OpenOutside = std::function<void(const std::wstring& url)>;

// Why the control's view cannot be guarded, for the user ("" when it can): there is no
// view, or the engine cannot tell us of documents and requests and let us cancel them.
// A view that cannot be guarded shows nobody's text.
std::wstring PageGuardProblem(const BrowserControl& control);

// Registers the control's "NAVIGATION" and "LOADURLBEGIN" events for `policy`. False,
// with nothing registered, when PageGuardProblem() says why.
bool GuardPageView(BrowserControl& control, std::shared_ptr<const NavigationPolicy> policy, OpenOutside openOutside);
// Our own pages over the IDE folder (LocalPagePolicy).
bool GuardPageView(BrowserControl& control, const std::wstring& ideFolder, OpenOutside openOutside);

// The system's way: ShellExecute "open".
void OpenInSystemBrowser(const std::wstring& url);

}  // namespace orv::framework
