// The daily update check's worker and its answer. Win32 only.
#include "helpwindow/win32/daily_check.h"

#include "framework/win32/operations.h"
#include "framework/win32/ui_tasks.h"
#include "framework/win32/worker_thread.h"
#include "sync/http_client.h"
#include "sync/server_protocol.h"

namespace orv::helpwindow {

struct DailyAnswer {
    sync::FetchedRecords fetched;
};

namespace {

// What the worker's request polls: the window's stop flag, nothing of the window.
class StopFlag : public library::Progress {
public:
    explicit StopFlag(std::shared_ptr<std::atomic<bool>> stop) : stop_(std::move(stop)) {}
    void OpenProgress(std::string_view, int, int, bool) override {}
    void CloseProgress() override {}
    void StepProgress(int) override {}
    void SetProgressText(std::string_view) override {}
    void SetProgressRange(int, int) override {}
    bool stopRequested() const override { return stop_->load(); }

private:
    std::shared_ptr<std::atomic<bool>> stop_;
};

// A fetch says nothing itself; whatever it could not do waits for tomorrow's check.
class Unheard : public library::Prompter {
public:
    void message(std::string_view, library::MessageKind) override {}
    bool ask(std::string_view) override { return false; }
};

}  // namespace

void DailyCheck::start() {
    if (!sync::DailyCheckDue(s_.store)) return;
    // The worker gets copies: the setup window may rewrite the settings meanwhile.
    auto settings = std::make_shared<const library::Settings>(s_.settings);
    const long long upTo = sync::FetchedUpTo(s_.db);
    std::string error;
    framework::startWorkerThread(
        [settings, upTo, stop = stop_, token = lifetime_.token(), this] {
            StopFlag progress(stop);
            Unheard prompter;
            sync::ServerSession session{*settings, prompter, progress, sync::makeHttpClient()};
            auto answer = std::make_shared<const DailyAnswer>(DailyAnswer{sync::FetchRecords(session, upTo)});
            if (stop->load() || !answer->fetched.problem.empty() || answer->fetched.records.empty()) return;
            framework::PostUiTask([token, this, answer] {
                if (!Lifetime::ended(token)) store(answer);
            });
        },
        error);
}

void DailyCheck::store(const std::shared_ptr<const DailyAnswer>& answer) {
    // Another operation may be writing (a paste, 检查更新 itself): the records wait for it.
    framework::PluginOperations().whenIdle([token = lifetime_.token(), this, answer] {
        if (Lifetime::ended(token)) return;
        const auto operation = framework::PluginOperations().begin("检查更新");
        if (!operation) return;
        sync::StoreDailyCheck(s_.db, answer->fetched, s_.setSyncCaption);
    });
}

}  // namespace orv::helpwindow
