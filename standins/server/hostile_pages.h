// Pages a hostile or tampered server could send to the online window, kept by the
// stand-in under fixed paths ("/hostile/<name>.htm") so that the window's defences can be
// tried against a real server address. A real sync server has none of them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orv::server {

inline constexpr std::string_view kHostilePrefix = "/hostile/";

// The page called `name` ("alert-flood", "popup", "close", "leave", "claim"), or nothing.
//   alert-flood  alert() without end, in bursts on a timer
//   popup        a button (#open) whose click asks for a new window on another site
//   close        a button (#close) whose click calls window.close()
//   leave        a link (#away) to the address in the query's "to=" (escaped), and the
//                function leave() that sends the page there by script
//   claim        a registration success for "intruder", shown without any form sent
std::optional<std::string> hostilePage(std::string_view name);

}  // namespace orv::server
