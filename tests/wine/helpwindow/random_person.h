// A random person in front of the plug-in's windows, known by a number, and the IDE whose
// button they press: shared by the random journey and the timing of its actions. From a
// thread of its own, the person clicks every control and menu of whichever windows of ours
// are open, types words with quotes and markup, answers questions at random, closes
// windows at random and presses the IDE's button again. Everything they do is a message
// posted to a window, or a question sent and answered within a limit, as a hand on a mouse
// and keyboard would. Win32 only.
#pragma once

#include "library/host_db.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace orv::helpwindow_test {

// The visible top-level windows of `thread`.
std::vector<HWND> topLevelWindows(DWORD thread);
std::wstring classOf(HWND window);

class Person {
public:
    // `windowThread` runs the plug-in's windows; `ide` opens the help window when it gets
    // kPressIdeButton. Each action is written to `log`. The same `number` plays the same
    // actions.
    Person(unsigned number, DWORD windowThread, HWND ide, std::ostream& log);

    // Runs after each action, before the pause that follows it.
    std::function<void()> afterAction;
    // The pause after each action, chosen at random within these bounds.
    int shortestPauseMs = 0, longestPauseMs = 300;

    // False, with failure(), when the window thread stopped answering.
    bool run(int actions);

    const std::string& failure() const { return failure_; }
    int action() const { return action_; }
    // What the last action was.
    const std::string& last() const { return last_; }

private:
    int pick(int from, int to);
    template <typename T>
    const T& oneOf(const std::vector<T>& items) {
        return items[static_cast<size_t>(pick(0, static_cast<int>(items.size()) - 1))];
    }
    void note(const std::string& what);
    bool ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void answerBoxes();
    bool act();
    bool clickTreeItem(HWND help);
    bool rightClickTree(HWND help);
    bool command(HWND help);
    bool clickToolbar(HWND help);
    bool clickTab(HWND help);
    bool typeIntoSearch(HWND help);
    bool clickListLine(HWND help);
    bool pageMessage(HWND help);
    bool clickPage(HWND help);
    bool otherWindow();
    bool closeSomething(HWND help);

    std::mt19937 random_;
    DWORD windowThread_;
    HWND ide_;
    std::ostream& log_;
    std::string last_, failure_;
    int action_ = 0;
};

// The IDE's own window, whose toolbar button opens the help window over `db`: a
// message-only window of the calling thread.
class Ide {
public:
    static constexpr UINT kPressIdeButton = WM_APP + 1;
    Ide(library::HostDb& db, std::string folder);
    ~Ide();
    Ide(const Ide&) = delete;
    Ide& operator=(const Ide&) = delete;
    HWND window() const { return window_; }
    // Called on this window's thread for any other message of WM_APP and above.
    std::function<void(UINT, WPARAM, LPARAM)> onAppMessage;

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    library::HostDb* db_;
    std::string folder_;
    HWND window_ = nullptr;
};

// One round of a hand that wants the window thread back: every question answered No or
// Cancel (or OK), every menu escaped and, with `closeForms`, every window of ours that
// takes input, but the help window, asked to close.
void dismissOnce(DWORD windowThread, bool closeForms);
// From another thread: rounds of dismissOnce, closing forms too, until `back` is set
// (the window thread is back in its own loop) or `limitMs` has passed. A person may
// leave modal windows whose loops hold the window thread below its caller's loop.
void dismissUntil(DWORD windowThread, const std::atomic<bool>& back, int limitMs = 60000);

// On the window thread: the person acts from a thread of its own for `actions` while
// this thread runs messages, as the IDE's does; what they left open (a modal window whose
// loop holds this thread below its own) is closed after them. False, with the person's
// failure(), when the window thread stopped answering.
bool playPerson(Person& person, int actions);

// Every question answered No or Cancel and every menu closed, by a hand of its own (a
// box's loop keeps the window thread), while the calling thread, the window thread, runs
// messages: until no operation or progress window runs and nothing asks for a second,
// or `limitMs` has passed.
void settle(int limitMs = 60000);

}  // namespace orv::helpwindow_test
