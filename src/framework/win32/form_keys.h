// Dialog keys for the plug-in's windows under any message loop. The IDE runs its own
// loop, which knows nothing of our windows: without help Tab and Shift+Tab would not move
// between their fields and Enter would not press the default button. A message hook on
// the window thread lets each form translate the keys meant for it (its accelerators and
// dialog navigation) before the loop that took them dispatches them, whoever's loop that
// is. The engine's views keep their keys: Tab and Enter belong to the page there.
// Win32 only.
#pragma once

namespace orv::framework {

// On the window thread, with the first window of the plug-in (the module holders do
// this): installs the hook when there is none. False when it could not be installed.
bool StartFormKeys();
// With the last window: removes the hook, before the module may go.
void StopFormKeys();

}  // namespace orv::framework
