// The progress seam of long operations: the Win32 shell shows the progress window, the
// command line a status line, the tests a recorder. Operations poll the stop flag
// between items.
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
    // Set when the user confirmed stopping; cleared by OpenProgress.
    virtual bool stopRequested() const = 0;
};

}  // namespace orv::library
