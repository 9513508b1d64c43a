// Letting the window system run while the plug-in works on the user-interface thread:
// dispatch what is queued, or keep dispatching for a while. Win32 only.
#pragma once

namespace orv::framework {

// Dispatches every message now in the thread's queue and returns. A quit message is
// posted again for the loop that owns it, and ends the pumping.
void PumpMessages();

// Dispatches messages as they come for `milliseconds`, then returns (early only for a
// quit message, which is posted again).
void WaitDispatching(unsigned milliseconds);

}  // namespace orv::framework
