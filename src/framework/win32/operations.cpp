// The plug-in's operation gate and its refusals. Win32 only.
#include "framework/win32/operations.h"

#include "framework/win32/message_box_prompter.h"

namespace orv::framework {

library::OperationGate& PluginOperations() {
    static library::OperationGate gate;
    return gate;
}

bool RefusedWhileBusy(HWND owner) {
    const library::OperationGate& gate = PluginOperations();
    if (!gate.busy()) return false;
    MessageBoxPrompter(owner).message(gate.refusal(), library::MessageKind::Information);
    return true;
}

std::optional<library::OperationGate::Ticket> BeginOperation(HWND owner, std::string_view what) {
    if (RefusedWhileBusy(owner)) return std::nullopt;
    return PluginOperations().begin(what);
}

}  // namespace orv::framework
