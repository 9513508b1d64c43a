// The plug-in's one operation gate (see library::OperationGate), shared by all its
// windows on the window thread: a command that writes begins its operation here, and a
// form refuses to close while one runs. Win32 only.
#pragma once

#include "library/operation_gate.h"

#include <windows.h>

#include <optional>
#include <string_view>

namespace orv::framework {

library::OperationGate& PluginOperations();

// Begins `what` for a command of `owner`'s window. While another operation runs the
// user is told so over `owner`, and nothing is begun.
std::optional<library::OperationGate::Ticket> BeginOperation(HWND owner, std::string_view what);

// True, after telling the user over `owner`, while an operation runs: for commands that
// write through another command's operation (a save inside a close question).
bool RefusedWhileBusy(HWND owner);

}  // namespace orv::framework
