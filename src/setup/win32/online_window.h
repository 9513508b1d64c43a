// The online window: one browser control showing a page of the sync server (the account
// registration), its caption following the page's title and the page's alert boxes shown
// as messages. The server is reached over plain HTTP, so its pages are treated as
// hostile: the view keeps to the server's site, popups and outside links go to the
// user's own browser, and a page cannot hold the user in its message boxes. Win32 only.
#pragma once

#include "framework/win32/page_guard.h"

#include <windows.h>

#include <string>

namespace orv::setup {

inline constexpr const wchar_t* kOnlineWindowName = L"Form在线";
inline constexpr const char* kOnlineCaption = "在线功能";

// Shows `url` modally over `owner` until the user closes the window (or the page asks to
// close it). The view shows documents of `url`'s site only (its scheme, host and port);
// a web or mail address the user clicked or a page opened as a new window goes to
// `openOutside` (the setup window passes framework::OpenInSystemBrowser), after the
// engine's callback has returned.
//
// What it hands back is the server's answer to a form sent in the window: the HTML of
// each page the view showed on `url`'s site after its first page there, each read as it
// finished loading and the last once more as the window closes, so that the answer is in
// it also when the user went on to another page or closed the window before the answer
// had finished loading. The first page (the form itself) and pages of any other address
// are never handed back. Empty when no such page was shown or the window could not open
// (the user was told why).
std::string runOnlineWindow(HWND owner, const std::string& url, framework::OpenOutside openOutside);
// The open window, or null.
HWND onlineWindow();

}  // namespace orv::setup
