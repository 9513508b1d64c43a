// Failures inside the plug-in's entry points stay there: a host service that throws, an
// allocation that fails at each step of opening the help window in turn, a form refused
// while memory runs out, a notification that runs out of memory, a request thread that
// outlives the plug-in's unload. The IDE this program plays goes on after each, and its
// next command works.
#include "wine/tiny_server.h"  // first: Winsock wants to come before <windows.h>

#include "framework/win32/entry_guard.h"
#include "framework/win32/form.h"
#include "helpwindow/win32/help_window.h"
#include "library/prompt.h"
#include "plugin/host_abi.h"
#include "plugin/win32/plugin_state.h"
#include "sync/http_client.h"
#include "wine/failing_allocation.h"
#include "wine/ide_fixture.h"
#include "wine/message_boxes.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

// The plug-in's exports, linked into this program.
extern "C" int32_t HOST_CALL INITIALIZATION(HostString*, HostString*);
extern "C" void HOST_CALL TOOLADD(int32_t*);
extern "C" int32_t HOST_CALL MENUCOMMAND(int32_t);
extern "C" void HOST_CALL ORVINTASTART(const HostThemeRecord*, const HostThemeRecord*);
extern "C" void HOST_CALL WINTHEMECHANGE(const HostThemeRecord*);
extern "C" void HOST_CALL CODETHEMECHANGE(const HostThemeRecord*);

using namespace orv;
using namespace orv::wine;

namespace {

constexpr int32_t kBase = 2000;
const std::string kCaption(library::kPromptCaption);

// Whether a help window received WM_CREATE since the flag was last cleared.
bool g_createSeen = false;

LRESULT CALLBACK watchCreation(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    wchar_t cls[64] = {};
    if (code == HC_ACTION && sent->message == WM_CREATE && GetClassNameW(sent->hwnd, cls, 64) &&
        lstrcmpW(cls, helpwindow::kWindowClass) == 0)
        g_createSeen = true;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Watches the help window's creation on this thread while it lives.
class CreationWatch {
public:
    CreationWatch() : hook_(SetWindowsHookExW(WH_CALLWNDPROC, watchCreation, nullptr, GetCurrentThreadId())) {}
    ~CreationWatch() {
        if (hook_) UnhookWindowsHookEx(hook_);
    }
    CreationWatch(const CreationWatch&) = delete;
    CreationWatch& operator=(const CreationWatch&) = delete;
    bool active() const { return hook_ != nullptr; }

private:
    HHOOK hook_;
};

void closeHelpWindows() {
    for (HWND w : windowsOfClass(helpwindow::kWindowClass)) SendMessageW(w, WM_CLOSE, 0, 0);
    pumpMessages(30);
}

HostThemeRecord themeNamed(const std::string& name) {
    HostThemeRecord t{};
    hostStringAssign(&t.name, name.data(), static_cast<int32_t>(name.size()));
    return t;
}

// The plug-in as this program runs it in-process: its module is the program, its host
// services are the ones the program exports, and its base command id is kBase.
class InProcessPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        plugin::pluginState().instance = GetModuleHandleW(nullptr);
        HostString name{}, description{};
        ASSERT_EQ(INITIALIZATION(&name, &description), 3);
        hostStringFree(&name);
        hostStringFree(&description);
        keptInsertTool = standin::hostRuntime().insertTool;
        int32_t next = kBase;
        TOOLADD(&next);
        ASSERT_EQ(next, kBase + 2);
        closeHelpWindows();
        watcher.take();
    }
    void TearDown() override {
        standin::hostRuntime().insertTool = keptInsertTool;
        closeHelpWindows();
    }
    // The IDE goes on: its next command opens the help window.
    static void expectTheNextCommandWorks() {
        EXPECT_EQ(MENUCOMMAND(kBase), 1);
        pumpMessages(100);
        EXPECT_EQ(windowsOfClass(helpwindow::kWindowClass).size(), 1u);
        closeHelpWindows();
        EXPECT_TRUE(windowsOfClass(helpwindow::kWindowClass).empty());
    }

    MessageBoxWatcher watcher;
    std::function<int32_t(const standin::ToolRequest&)> keptInsertTool;
};

}  // namespace

TEST_F(InProcessPlugin, AHostServiceThatThrowsIsToldOnceAndTheIdeGoesOn) {
    const struct {
        const char* what;
        std::function<void()> raise;
        std::string reason;
    } cases[] = {
        {"out of memory", [] { throw std::bad_alloc(); }, framework::kOutOfMemory},
        {"a library's error", [] { throw std::runtime_error("toolbar is full"); }, "toolbar is full"},
        {"not even an exception class", [] { throw 7; }, framework::kUnknownFailure},
    };
    for (const auto& c : cases) {
        standin::hostRuntime().insertTool = [&c](const standin::ToolRequest&) -> int32_t {
            c.raise();
            return 1;
        };
        int32_t next = kBase;
        TOOLADD(&next);
        EXPECT_EQ(next, kBase + 2) << c.what;
        const std::vector<SeenBox> boxes = watcher.take();
        ASSERT_EQ(boxes.size(), 1u) << c.what;
        EXPECT_EQ(boxes[0].caption, kCaption) << c.what;
        EXPECT_EQ(boxes[0].text, "帮助按钮未能放到工具栏上。\r\n" + c.reason) << c.what;
    }
    standin::hostRuntime().insertTool = keptInsertTool;
    expectTheNextCommandWorks();
    EXPECT_TRUE(watcher.take().empty());
}

TEST_F(InProcessPlugin, EveryAllocationFailingInTurnWhileTheWindowOpens) {
    const long badFreesBefore = badFrees();
    const CreationWatch creation;
    ASSERT_TRUE(creation.active());
    int refusedCreations = 0;  // windows that got their WM_CREATE and were then taken back
    long n = 0;
    for (;; ++n) {
        ASSERT_LT(n, 20000) << "opening the window never ran out of allocations to fail";
        g_createSeen = false;
        int32_t answer = 0;
        bool failed = false;
        {
            FailingAllocation failing(n);
            answer = MENUCOMMAND(kBase);
            failed = failing.disarm();
        }
        EXPECT_EQ(answer, 1) << "allocation " << n;
        pumpMessages(20);
        const std::vector<HWND> windows = windowsOfClass(helpwindow::kWindowClass);
        const std::vector<SeenBox> boxes = watcher.take();
        ASSERT_EQ(badFrees(), badFreesBefore) << "a block freed twice when allocation " << n << " failed";
        if (!failed) {
            EXPECT_EQ(windows.size(), 1u);
            EXPECT_TRUE(boxes.empty());
            closeHelpWindows();
            break;
        }
        EXPECT_TRUE(windows.empty()) << "allocation " << n;
        ASSERT_EQ(boxes.size(), 1u) << "allocation " << n;
        EXPECT_EQ(boxes[0].caption, kCaption);
        EXPECT_EQ(boxes[0].text, std::string(helpwindow::kOpenFailed) + "\r\n" + framework::kOutOfMemory)
            << "allocation " << n;
        if (g_createSeen) ++refusedCreations;
        closeHelpWindows();
    }
    EXPECT_GT(n, 0) << "opening the window allocated nothing";
    EXPECT_GT(refusedCreations, 0) << "no failure fell into the window's creation";
    expectTheNextCommandWorks();
}

namespace {

// Longer than a string keeps in its own buffer, so keeping it takes an allocation.
constexpr const char* kRefusal = "this form refuses to be created";

// Refuses its window at WM_CREATE; with `starve`, the allocation that follows the throw
// (the form layer keeping the reason) fails. Either way it arms, so that what the test
// reads afterwards is about this window alone.
class RefusingHandler : public framework::FormHandler {
public:
    explicit RefusingHandler(bool starve) : starve_(starve) {}
    bool onMessage(HWND, UINT message, WPARAM, LPARAM, LRESULT&) override {
        if (message != WM_CREATE) return false;
        const std::runtime_error refusal(kRefusal);  // made while memory is still there
        failAllocationAfter(starve_ ? 0 : LONG_MAX);
        throw refusal;  // the copy shares the text: no allocation
    }

private:
    bool starve_;
};

}  // namespace

TEST(FormRefusal, TheCallerLearnsWhyEvenWhenKeepingTheReasonRunsOutOfMemory) {
    const long badFreesBefore = badFrees();
    const struct {
        bool starve;
        std::string error;
    } cases[] = {
        {false, kRefusal},
        {true, framework::kOutOfMemory},
    };
    for (const auto& c : cases) {
        framework::FormOptions options;
        options.name = L"RefusedForm";
        std::string error;
        const HWND made = framework::CreateForm(options, std::make_unique<RefusingHandler>(c.starve), error);
        const bool starved = disarmAllocationFailure();
        EXPECT_EQ(made, nullptr) << "starved: " << c.starve;
        EXPECT_EQ(starved, c.starve);
        EXPECT_EQ(error, c.error) << "starved: " << c.starve;
        EXPECT_TRUE(windowsOfClass((std::wstring(framework::kGeneratedClassPrefix) + options.name).c_str()).empty());
    }
    EXPECT_EQ(badFrees(), badFreesBefore);
}

TEST_F(InProcessPlugin, NotificationsThatRunOutOfMemoryStaySilentAndKeepTheLastCopy) {
    // Names long enough to need the heap.
    HostThemeRecord kept = themeNamed("a theme the plug-in already holds");
    HostThemeRecord next = themeNamed("a theme that arrives while memory is out");
    ORVINTASTART(&kept, &kept);
    const struct {
        const char* what;
        std::function<void()> notify;
    } notifications[] = {
        {"ORVINTASTART", [&] { ORVINTASTART(&next, &next); }},
        {"WINTHEMECHANGE", [&] { WINTHEMECHANGE(&next); }},
        {"CODETHEMECHANGE", [&] { CODETHEMECHANGE(&next); }},
    };
    for (const auto& n : notifications) {
        {
            FailingAllocation failing(0);
            n.notify();
            EXPECT_TRUE(failing.disarm()) << n.what;
        }
        pumpMessages(50);
        EXPECT_TRUE(watcher.take().empty()) << n.what;
        EXPECT_EQ(plugin::pluginState().codeTheme.name, "a theme the plug-in already holds") << n.what;
        EXPECT_EQ(plugin::pluginState().windowTheme.name, "a theme the plug-in already holds") << n.what;
    }
    WINTHEMECHANGE(&next);
    EXPECT_EQ(plugin::pluginState().windowTheme.name, "a theme that arrives while memory is out");
    hostStringFree(&kept.name);
    hostStringFree(&next.name);
    expectTheNextCommandWorks();
}

TEST(WorkerThreads, AnAbandonedRequestKeepsItsModuleLoadedUntilItEnds) {
    TinyServer server;
    ASSERT_NE(server.port(), 0);
    const std::wstring probe = programDir() + L"worker_probe.dll";
    HMODULE module = LoadLibraryW(probe.c_str());
    ASSERT_NE(module, nullptr) << "cannot load worker_probe.dll";
    using AbandonRequest = int (*)(const char*);
    const auto abandon =
        reinterpret_cast<AbandonRequest>(reinterpret_cast<void*>(GetProcAddress(module, "abandonRequest")));
    ASSERT_NE(abandon, nullptr);
    EXPECT_EQ(abandon(server.url("/held").c_str()), static_cast<int>(sync::HttpOutcome::TimedOut));
    FreeLibrary(module);
    // Its host let go of it; the worker, still waiting for its reply, has not.
    EXPECT_NE(GetModuleHandleW(L"worker_probe.dll"), nullptr);
    server.release();
    bool unloaded = false;
    for (int i = 0; i < 500 && !unloaded; ++i) {
        Sleep(10);
        unloaded = GetModuleHandleW(L"worker_probe.dll") == nullptr;
    }
    EXPECT_TRUE(unloaded) << "the worker never gave its module back";
}
