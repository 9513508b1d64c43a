// The terminal side of orvhelp: widths, the in-place status line and Ctrl+C.
#include "cli/terminal.h"

#include "os/os.h"
#include "text/encoding.h"

#include <cstdio>
#include <iostream>


namespace orv::cli {
namespace {

volatile std::sig_atomic_t interruptFlag = 0;

extern "C" void onInterrupt(int) {
    interruptFlag = 1;
    // Some C runtimes reset the handling after each signal; a second Ctrl+C must still
    // stop the run, not end the process.
    std::signal(SIGINT, onInterrupt);
}

constexpr char kTurns[] = {'|', '/', '-', '\\'};
constexpr auto kStepInterval = std::chrono::milliseconds(100);
// Narrower than any terminal, so the line never wraps and '\r' reaches its start.
constexpr std::size_t kLineWidth = 78;

// Columns of one UTF-16 unit: wide (CJK) characters two, the second half of a pair none.
std::size_t columnsOf(char16_t c) {
    if (c >= 0xDC00 && c <= 0xDFFF) return 0;
    const bool wide = c >= 0x1100 && (c <= 0x115F || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
                                      (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFF60));
    return wide ? 2 : 1;
}

// The text cut to at most `columns` columns, never inside a character.
std::string fitted(const std::string& utf8, std::size_t columns) {
    std::u16string kept;
    std::size_t width = 0;
    for (char16_t c : text::utf8ToUtf16(utf8)) {
        const std::size_t w = columnsOf(c);
        if (width + w > columns) break;
        width += w;
        kept += c;
    }
    if (!kept.empty() && kept.back() >= 0xD800 && kept.back() <= 0xDBFF) kept.pop_back();
    return text::utf16ToUtf8(kept);
}

}  // namespace

std::size_t displayWidth(const std::string& utf8) {
    std::size_t width = 0;
    for (char16_t c : text::utf8ToUtf16(utf8)) width += columnsOf(c);
    return width;
}

bool isTerminalOutput(const std::ostream& out) {
    return &out == &std::cout && os::isTerminal(stdout);
}

InterruptGuard::InterruptGuard() {
    interruptFlag = 0;
    previous_ = std::signal(SIGINT, onInterrupt);
}

InterruptGuard::~InterruptGuard() { std::signal(SIGINT, previous_ == SIG_ERR ? SIG_DFL : previous_); }

bool InterruptGuard::interrupted() { return interruptFlag != 0; }

void TerminalProgress::OpenProgress(std::string_view text, int, int, bool) {
    if (depth_++ > 0) outerTexts_.push_back(text_);
    text_ = text;
    draw();
}

void TerminalProgress::SetProgressText(std::string_view text) {
    text_ = text;
    draw();
}

void TerminalProgress::StepProgress(int) {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastStep_ < kStepInterval) return;
    lastStep_ = now;
    ++turn_;
    draw();
}

void TerminalProgress::CloseProgress() {
    if (depth_ == 0) return;
    if (--depth_ > 0) {
        text_ = std::move(outerTexts_.back());
        outerTexts_.pop_back();
        draw();
        return;
    }
    text_.clear();
    if (!terminal_ || shownWidth_ == 0) return;
    out_ << '\r' << std::string(shownWidth_, ' ') << '\r' << std::flush;
    shownWidth_ = 0;
}

void TerminalProgress::draw() {
    if (!terminal_) return;
    const std::string line = fitted(std::string(1, kTurns[turn_ % sizeof kTurns]) + ' ' + text_, kLineWidth);
    const std::size_t width = displayWidth(line);
    out_ << '\r' << line;
    if (width < shownWidth_) out_ << std::string(shownWidth_ - width, ' ');
    out_ << std::flush;
    shownWidth_ = width;
}

}  // namespace orv::cli
