// The progress seam of long operations: the Win32 shell shows the progress window, the
// command line a status line, the tests a recorder. Operations poll the stop flag
// between items.
//
// Opening nests: a step of an operation that shows progress of its own (a server request
// inside a paste) opens inside the operation's and closes back to it, text and range
// included; only the outermost close ends the showing. Each OpenProgress has its own
// CloseProgress.
#pragma once

#include <string_view>

namespace orv::library {

class Progress {
public:
    virtual ~Progress() = default;
    virtual void OpenProgress(std::string_view text, int minimum, int maximum, bool cycling) = 0;
    virtual void CloseProgress() = 0;
    virtual void StepProgress(int position) = 0;
    virtual void SetProgressText(std::string_view text) = 0;
    // The range of the open level, for an operation that learns its size after opening.
    virtual void SetProgressRange(int minimum, int maximum) = 0;
    // Set when the user confirmed stopping; cleared by the outermost OpenProgress.
    virtual bool stopRequested() const = 0;
};

}  // namespace orv::library
