// What orvhelp does on a terminal: column widths of mixed Chinese and Latin text, a
// status line that updates in place, and Ctrl+C as a stop request.
#pragma once

#include "library/progress.h"

#include <chrono>
#include <csignal>
#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

namespace orv::cli {

// Columns the text takes on a terminal, counting wide (CJK) characters as two.
std::size_t displayWidth(const std::string& utf8);

// True when `out` is this process's standard output and that is a terminal.
bool isTerminalOutput(const std::ostream& out);

// While it lives, Ctrl+C (SIGINT) only raises a flag; the former handling comes back
// when it goes.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    static bool interrupted();

private:
    using Handler = void (*)(int);
    Handler previous_;
};

// Progress of a long command: on a terminal one line rewritten in place, elsewhere
// nothing. Ctrl+C under an InterruptGuard is the stop request.
class TerminalProgress : public library::Progress {
public:
    TerminalProgress(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}

    void OpenProgress(std::string_view text, int minimum, int maximum, bool cycling) override;
    void CloseProgress() override;
    void StepProgress(int position) override;
    void SetProgressText(std::string_view text) override;
    void SetProgressRange(int, int) override {}
    bool stopRequested() const override { return InterruptGuard::interrupted(); }

private:
    void draw();

    std::ostream& out_;
    const bool terminal_;
    std::string text_;
    std::vector<std::string> outerTexts_;  // of the levels the open one opened inside
    int depth_ = 0;
    std::size_t shownWidth_ = 0;
    unsigned turn_ = 0;
    std::chrono::steady_clock::time_point lastStep_{};
};

}  // namespace orv::cli
