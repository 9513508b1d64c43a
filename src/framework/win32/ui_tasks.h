// The one place where work done off the window thread comes back onto it: a queue the
// plug-in owns and a message-only window on the window thread that runs what is queued.
// The message that wakes the window carries nothing, so a message any other program
// sends it can only make the window look at its own queue. Win32 only.
#pragma once

#include <functional>
#include <string>

namespace orv::framework {

using UiTask = std::function<void()>;

// Makes the queue's window on the calling thread, the thread of the plug-in's windows,
// when there is none. False with `error` saying which step failed.
bool StartUiTasks(std::string& error);

// From any thread: queues `task` to run on the window thread after the message at hand,
// inside the entry guard. False when there is no window to run it (the task is dropped
// unrun, here).
bool PostUiTask(UiTask task);

// On the window thread: runs the tasks queued now, as the window would.
void RunUiTasks();

// On the window thread, when the last of the plug-in's windows has gone: the window is
// destroyed and what is still queued dropped unrun.
void StopUiTasks();

// For the module's unload, once the window is gone.
void UnregisterUiTasksClass();

}  // namespace orv::framework
