// The online window: one browser control showing a page of the sync server (the account
// registration), its caption following the page's title and the page's alert boxes shown
// as messages. Win32 only.
#pragma once

#include <windows.h>

#include <string>

namespace orv::setup {

inline constexpr const wchar_t* kOnlineWindowName = L"Form在线";
inline constexpr const char* kOnlineCaption = "在线功能";

// Shows `url` modally over `owner` until the user closes the window. What it hands back
// is the HTML of every page it showed, in order, each read as it finished loading and
// the last once more as the window closes: after a form was sent, the server's answer is
// in it, also when the user went on to another page or closed the window before the
// answer had finished loading. Empty when nothing was shown or the window could not open
// (the user was told why).
std::string runOnlineWindow(HWND owner, const std::string& url);
// The open window, or null.
HWND onlineWindow();

}  // namespace orv::setup
