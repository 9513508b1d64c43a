// The help window's daily update check: when it is due, the server is asked on a worker
// that touches nothing of the window's and no library; the records it brings are stored
// back on the window's thread as an operation of their own, once no other runs, so that
// they never mix with 检查更新's or any other write. Closing the window gives up a request
// still running; nobody waits for it. Win32 only.
#pragma once

#include "helpwindow/window_thread.h"
#include "library/host_db.h"
#include "library/settings.h"
#include "library/settings_store.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace orv::helpwindow {

struct DailyAnswer;

class DailyCheck {
public:
    struct Sources {
        library::HostDb& db;
        library::SettingsStore& store;
        const library::Settings& settings;
        std::function<void(const std::string& caption)> setSyncCaption;
    };

    explicit DailyCheck(Sources sources) : s_(std::move(sources)) {}
    ~DailyCheck() { stop(); }
    DailyCheck(const DailyCheck&) = delete;
    DailyCheck& operator=(const DailyCheck&) = delete;

    // On the window's thread: starts the check when it is due.
    void start();
    // A request still running is given up and its answer dropped.
    void stop() { stop_->store(true); }

private:
    void store(const std::shared_ptr<const DailyAnswer>& answer);

    Sources s_;
    std::shared_ptr<std::atomic<bool>> stop_ = std::make_shared<std::atomic<bool>>(false);
    Lifetime lifetime_;
};

}  // namespace orv::helpwindow
