// A progress that shows nothing, for operations run from the command line and the
// tests; its stop flag may be set from any thread (a console interrupt, a test).
#pragma once

#include "library/progress.h"

#include <atomic>

namespace orv::library {

class PlainProgress : public Progress {
public:
    void OpenProgress(std::string_view, int, int, bool) override {
        if (depth_++ == 0) stop_ = false;
    }
    void CloseProgress() override {
        if (depth_ > 0) --depth_;
    }
    void StepProgress(int) override {}
    void SetProgressText(std::string_view) override {}
    void SetProgressRange(int, int) override {}
    bool stopRequested() const override { return stop_; }

    void stop() { stop_ = true; }

private:
    std::atomic<bool> stop_{false};
    int depth_ = 0;
};

}  // namespace orv::library
