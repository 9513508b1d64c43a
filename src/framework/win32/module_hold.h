// Keeps the plug-in's module loaded while any window of it lives, whatever the IDE does
// with its own reference meanwhile: the IDE may unload a plug-in whose windows are still
// open, and their procedures are code of the module. Workers hold the module on their own
// (worker_thread.h). Win32 only.
#pragma once

namespace orv::framework {

// On the window thread, as a window of the layer is created: the first holder takes a
// reference on the module (and makes the task queue's window).
void HoldModule();

// On the window thread, once a window's state is freed and none of its code is left
// below: the last holder gives the reference back. It is given back by a thread of its
// own, and only after the window thread has returned to a message loop outside the
// module, so that no code of the module runs when it goes.
void ReleaseModule();

// How many holders there are now (for tests).
int ModuleHolders();

}  // namespace orv::framework
