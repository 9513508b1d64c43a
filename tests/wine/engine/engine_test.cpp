// The stand-in engine (mb.dll) over a real headless Chromium: its exports by name, pages
// from text beside the program, scripts and their dialogs, a person's click on a link
// that opens a new window, the thread every callback runs on, and an engine without
// Chromium.
#include "framework/win32/wke_api.h"
#include "png_file.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

// The engine's exports, linked through its import library.
#define ORV_TEST_IMPORT(Result, name, parameters) extern "C" __declspec(dllimport) Result WKE_CALL name parameters;
ORV_WKE_FUNCTIONS(ORV_TEST_IMPORT)
#undef ORV_TEST_IMPORT
#define ORV_TEST_IMPORT_EVENT(name, Callback) extern "C" __declspec(dllimport) void WKE_CALL name(wkeWebView, Callback, void*);
ORV_WKE_EVENTS(ORV_TEST_IMPORT_EVENT)
#undef ORV_TEST_IMPORT_EVENT

namespace {

bool pumpUntil(const std::function<bool()>& done, int limitMs) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(limitMs);
    while (!done()) {
        if (GetTickCount64() >= deadline) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

std::wstring programFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::string narrow(const wchar_t* text) {
    std::string out;
    for (; text && *text; ++text) out += static_cast<char>(*text < 128 ? *text : '?');
    return out;
}

std::string run(wkeWebView view, const wchar_t* script) {
    return narrow(jsToStringW(wkeGlobalExec(view), wkeRunJSW(view, script)));
}

// What the callbacks saw, and on which threads.
struct Seen {
    std::vector<DWORD> threads;
    std::vector<std::string> alerts, createdViews, beganUrls, consoleLines, titles;
    int paints = 0, finishedLoads = 0, readyDocuments = 0, urlChanges = 0;
    std::wstring promptAnswer = L"typed answer";
    bool confirmAnswer = true;
    bool refuseLoads = false, cancelLoads = false;
    std::string refusedFragment;
    void note() { threads.push_back(GetCurrentThreadId()); }
};

void WKE_CALL onPaint(wkeWebView, void* p, const HDC, int, int, int, int) {
    static_cast<Seen*>(p)->note();
    ++static_cast<Seen*>(p)->paints;
}
void WKE_CALL onAlert(wkeWebView, void* p, const wkeString text) {
    static_cast<Seen*>(p)->note();
    static_cast<Seen*>(p)->alerts.push_back(narrow(wkeGetStringW(text)));
}
bool WKE_CALL onConfirm(wkeWebView, void* p, const wkeString text) {
    static_cast<Seen*>(p)->note();
    static_cast<Seen*>(p)->alerts.push_back(wkeGetString(text));
    return static_cast<Seen*>(p)->confirmAnswer;
}
bool WKE_CALL onPrompt(wkeWebView, void* p, const wkeString text, const wkeString, wkeString result) {
    static_cast<Seen*>(p)->note();
    static_cast<Seen*>(p)->alerts.push_back(wkeGetString(text));
    wkeSetStringW(result, static_cast<Seen*>(p)->promptAnswer.c_str(), static_cast<Seen*>(p)->promptAnswer.size());
    return true;
}
wkeWebView WKE_CALL onCreateView(wkeWebView view, void* p, wkeNavigationType, const wkeString url, const wkeWindowFeatures*) {
    static_cast<Seen*>(p)->note();
    static_cast<Seen*>(p)->createdViews.push_back(wkeGetString(url));
    return view;  // no new window: the host keeps the address
}
bool WKE_CALL onLoadUrlBegin(wkeWebView, void* p, const utf8* url, wkeNetJob job) {
    auto* seen = static_cast<Seen*>(p);
    seen->note();
    seen->beganUrls.push_back(url);
    const bool refuse = !seen->refusedFragment.empty() && std::string(url).find(seen->refusedFragment) != std::string::npos;
    if (refuse && seen->cancelLoads) wkeNetCancelRequest(job);
    return refuse && seen->refuseLoads;
}
void WKE_CALL onLoadingFinish(wkeWebView, void* p, const wkeString, wkeLoadingResult, const wkeString) {
    static_cast<Seen*>(p)->note();
    ++static_cast<Seen*>(p)->finishedLoads;
}
void WKE_CALL onDocumentReady(wkeWebView, void* p) {
    static_cast<Seen*>(p)->note();
    ++static_cast<Seen*>(p)->readyDocuments;
}
void WKE_CALL onUrlChanged(wkeWebView, void* p, const wkeString) {
    static_cast<Seen*>(p)->note();
    ++static_cast<Seen*>(p)->urlChanges;
}
void WKE_CALL onTitle(wkeWebView, void* p, const wkeString title) {
    static_cast<Seen*>(p)->note();
    static_cast<Seen*>(p)->titles.push_back(wkeGetString(title));
}
void WKE_CALL onConsole(wkeWebView, void* p, wkeConsoleLevel, const wkeString message, const wkeString, unsigned, const wkeString) {
    static_cast<Seen*>(p)->note();
    static_cast<Seen*>(p)->consoleLines.push_back(wkeGetString(message));
}

LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

// A host window with one engine view filling it, every callback recorded.
class EngineView : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetFileAttributesW(L"/usr/bin/chromium") == INVALID_FILE_ATTRIBUTES && !GetEnvironmentVariableW(L"ORV_CHROMIUM", nullptr, 0))
            GTEST_SKIP() << "no Chromium on this machine (/usr/bin/chromium or ORV_CHROMIUM)";
        wkeInitialize();
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = hostWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"OrvEngineTestHost";
        RegisterClassW(&windowClass);
        host_ = CreateWindowExW(0, L"OrvEngineTestHost", L"engine test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 660, 520,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(host_, nullptr);
        view_ = wkeCreateWebWindow(WKE_WINDOW_TYPE_CONTROL, host_, 0, 0, 640, 480);
        ASSERT_NE(view_, nullptr);
        wkeShowWindow(view_, true);
        ShowWindow(host_, SW_SHOWNOACTIVATE);
        wkeOnPaintUpdated(view_, onPaint, &seen_);
        wkeOnAlertBox(view_, onAlert, &seen_);
        wkeOnConfirmBox(view_, onConfirm, &seen_);
        wkeOnPromptBox(view_, onPrompt, &seen_);
        wkeOnCreateView(view_, onCreateView, &seen_);
        wkeOnLoadUrlBegin(view_, onLoadUrlBegin, &seen_);
        wkeOnLoadingFinish(view_, onLoadingFinish, &seen_);
        wkeOnDocumentReady(view_, onDocumentReady, &seen_);
        wkeOnURLChanged(view_, onUrlChanged, &seen_);
        wkeOnTitleChanged(view_, onTitle, &seen_);
        wkeOnConsole(view_, onConsole, &seen_);
    }
    void TearDown() override {
        if (view_) wkeDestroyWebWindow(view_);
        if (host_) DestroyWindow(host_);
    }

    // Loads a page made from text and waits until it and its first frame are painted.
    void load(const char* html) {
        const int loads = seen_.finishedLoads;
        wkeLoadHTML(view_, html);
        ASSERT_TRUE(pumpUntil([&] { return seen_.finishedLoads > loads; }, 15000)) << "the page never finished loading";
        const int paints = seen_.paints;
        pumpUntil([&] { return seen_.paints > paints; }, 3000);
    }

    // Where an element is on the view, in the view's pixels.
    POINT centreOf(const wchar_t* id) {
        const std::wstring script = std::wstring(L"var r=document.getElementById('") + id +
                                    L"').getBoundingClientRect();return Math.round(r.left+r.width/2)+','+Math.round(r.top+r.height/2);";
        const std::string at = run(view_, script.c_str());
        POINT p{-1, -1};
        sscanf(at.c_str(), "%ld,%ld", &p.x, &p.y);
        return p;
    }

    void click(POINT p) {
        HWND window = wkeGetHostHWND(view_);
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    }

    HWND host_ = nullptr;
    wkeWebView view_ = nullptr;
    Seen seen_;
};

TEST(EngineExports, EveryNameOfTheInterfaceIsExportedUndecorated) {
    HMODULE engine = GetModuleHandleW(L"mb.dll");
    ASSERT_NE(engine, nullptr);
    std::vector<std::string> missing;
#define ORV_TEST_NAME(Result, name, parameters) \
    if (!GetProcAddress(engine, #name)) missing.push_back(#name);
    ORV_WKE_FUNCTIONS(ORV_TEST_NAME)
#undef ORV_TEST_NAME
#define ORV_TEST_EVENT_NAME(name, Callback) \
    if (!GetProcAddress(engine, #name)) missing.push_back(#name);
    ORV_WKE_EVENTS(ORV_TEST_EVENT_NAME)
#undef ORV_TEST_EVENT_NAME
    EXPECT_TRUE(missing.empty()) << "missing: " << ::testing::PrintToString(missing);
}

TEST_F(EngineView, TextPageLivesInTheProgramFolderAndUsesItsStylesheets) {
    const std::wstring viewFolder = programFolder() + L"\\view";
    CreateDirectoryW(viewFolder.c_str(), nullptr);
    {
        std::ofstream css(std::filesystem::path(viewFolder + L"\\orv_engine_test.css"), std::ios::binary | std::ios::trunc);
        css << "#p { color: rgb(1, 2, 3); font-size: 30px } body { background: #eef }";
        ASSERT_TRUE(css.good()) << "cannot write the test stylesheet beside the program";
    }
    load("<!DOCTYPE html><html><head><title>Stand-in</title><link rel=stylesheet href='view/orv_engine_test.css'></head>"
         "<body><p id=p>Hello \xE4\xBD\xA0\xE5\xA5\xBD from the stand-in engine</p></body></html>");
    EXPECT_EQ(run(view_, L"return getComputedStyle(document.getElementById('p')).color"), "rgb(1, 2, 3)");
    const std::string address = run(view_, L"return location.href");
    EXPECT_EQ(address.rfind("file:///", 0), 0u) << address;
    EXPECT_NE(address.find("/_miniblink__data_"), std::string::npos) << address;
    // The host reads the address of the Windows path, as from an engine on Windows.
    const std::string reported = wkeGetURL(view_);
    EXPECT_EQ(reported.rfind("file:///", 0), 0u) << reported;
    EXPECT_EQ(reported[9], ':') << reported;
    EXPECT_EQ(reported.substr(reported.rfind('/')), address.substr(address.rfind('/')));
    EXPECT_EQ(narrow(wkeGetTitleW(view_)), "Stand-in");
    const std::string source = wkeGetSource(view_);
    EXPECT_NE(source.find("<p id=\"p\">Hello"), std::string::npos) << source;

    // Values come back as JavaScript writes them; undefined and null as nothing.
    const struct {
        const wchar_t* script;
        const char* text;
    } cases[] = {
        {L"return 1+1", "2"},       {L"return 0.1+0.2", "0.30000000000000004"}, {L"return 1/0", "Infinity"},
        {L"return 2>1", "true"},    {L"return 'text'", "text"},                 {L"return undefined", ""},
        {L"return null", ""},       {L"return [1,2]", "1,2"},                   {L"throw new Error('x')", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(run(view_, c.script), c.text) << narrow(c.script);

    std::string error;
    EXPECT_TRUE(writeBitmapAsPng(wkeGetViewDC(view_), std::wstring(ORV_ENGINE_SCREENSHOT, ORV_ENGINE_SCREENSHOT + sizeof ORV_ENGINE_SCREENSHOT - 1), error))
        << error;
    // Blink painted the page: the paragraph's colour is in the view's back buffer.
    HDC dc = wkeGetViewDC(view_);
    bool found = false;
    for (int y = 0; y < 120 && !found; ++y)
        for (int x = 0; x < 400 && !found; ++x) found = GetPixel(dc, x, y) == RGB(1, 2, 3);
    EXPECT_TRUE(found) << "no pixel of the paragraph's colour in the painted view";
}

TEST_F(EngineView, ClickOnANewWindowLinkAsksTheHostAndThePageStays) {
    load("<html><body style='margin:40px'><a id=a href='view/other.htm' target=_blank style='font-size:40px'>open</a></body></html>");
    const std::string before = wkeGetURL(view_);
    const std::string pageAddress = run(view_, L"return location.href");
    const POINT p = centreOf(L"a");
    ASSERT_GT(p.x, 0);
    click(p);
    ASSERT_TRUE(pumpUntil([&] { return !seen_.createdViews.empty(); }, 10000)) << "the click never reached create-view";
    const std::string folderPage = before.substr(0, before.rfind('/')) + "/view/other.htm";
    EXPECT_EQ(seen_.createdViews[0], folderPage);
    pumpUntil([] { return false; }, 500);
    EXPECT_EQ(std::string(wkeGetURL(view_)), before);
    EXPECT_EQ(run(view_, L"return location.href"), pageAddress);
}

TEST_F(EngineView, LoadUrlBeginKeepsThePageFromNavigatingAway) {
    // Refusing by the callback's answer and by cancelling the job: both keep the page.
    for (const bool byCancel : {false, true}) {
        seen_.refusedFragment = "refused.htm";
        seen_.refuseLoads = !byCancel;
        seen_.cancelLoads = byCancel;
        load("<html><body style='margin:40px'><a id=a href='refused.htm' style='font-size:40px'>go</a></body></html>");
        const std::string before = run(view_, L"return location.href");
        const std::size_t began = seen_.beganUrls.size();
        click(centreOf(L"a"));
        ASSERT_TRUE(pumpUntil([&] { return seen_.beganUrls.size() > began; }, 10000)) << "the click never asked to load";
        EXPECT_NE(seen_.beganUrls.back().find("refused.htm"), std::string::npos);
        pumpUntil([] { return false; }, 500);
        EXPECT_EQ(run(view_, L"return location.href"), before) << (byCancel ? "cancelled job" : "refused by answer");
    }
}

TEST_F(EngineView, DialogsOfAScriptReachTheirCallbacksWhileTheScriptRuns) {
    load("<html><body>dialogs</body></html>");
    EXPECT_EQ(run(view_, L"alert('hello'); return 'after'"), "after");
    ASSERT_EQ(seen_.alerts.size(), 1u);
    EXPECT_EQ(seen_.alerts[0], "hello");
    seen_.confirmAnswer = true;
    EXPECT_EQ(run(view_, L"return confirm('sure?')"), "true");
    seen_.confirmAnswer = false;
    EXPECT_EQ(run(view_, L"return confirm('really?')"), "false");
    EXPECT_EQ(run(view_, L"return prompt('name?', 'x')"), "typed answer");
    EXPECT_EQ(seen_.alerts.back(), "name?");
}

TEST_F(EngineView, GlobalFunctionsAreCalledWithStringArguments) {
    load("<html><head><script>function joined(a, b) { return a + '+' + b + '!'; }</script></head><body></body></html>");
    const jsExecState state = wkeGlobalExec(view_);
    jsValue arguments[] = {jsStringW(state, L"x"), jsString(state, "y")};
    const jsValue result = jsCallGlobal(state, jsGetGlobal(state, "joined"), arguments, 2);
    EXPECT_STREQ(jsToString(state, result), "x+y!");
    EXPECT_STREQ(jsToString(state, jsCallGlobal(state, jsGetGlobal(state, "noSuchFunction"), arguments, 2)), "");
}

TEST_F(EngineView, EveryCallbackRunsOnTheThreadOfTheHost) {
    load("<html><head><title>first</title></head><body><script>console.log('logged', 42);</script></body></html>");
    run(view_, L"document.title = 'second'; alert('a');");
    pumpUntil([&] { return !seen_.titles.empty() && seen_.titles.back() == "second"; }, 5000);
    EXPECT_GT(seen_.paints, 0);
    EXPECT_GT(seen_.readyDocuments, 0);
    EXPECT_GT(seen_.urlChanges, 0);
    EXPECT_FALSE(seen_.beganUrls.empty());
    EXPECT_EQ(seen_.consoleLines, std::vector<std::string>{"logged 42"});
    ASSERT_FALSE(seen_.titles.empty());
    EXPECT_EQ(seen_.titles.back(), "second");
    const DWORD self = GetCurrentThreadId();
    for (const DWORD thread : seen_.threads) ASSERT_EQ(thread, self) << "a callback ran on another thread";
}

TEST(NoChromium, EveryCallAnswersAtOnceWithItsEmptyResult) {
    SetEnvironmentVariableW(L"ORV_CHROMIUM", L"C:\\no\\such\\chromium.exe");
    const ULONGLONG start = GetTickCount64();
    wkeInitialize();
    HWND host = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 420, 320, nullptr, nullptr, nullptr, nullptr);
    const wkeWebView view = wkeCreateWebWindow(WKE_WINDOW_TYPE_CONTROL, host, 0, 0, 400, 300);
    ASSERT_NE(view, nullptr);
    ASSERT_NE(wkeGetHostHWND(view), nullptr);
    wkeLoadHTML(view, "<p>never shown</p>");
    wkeLoadURLW(view, L"about:blank");
    EXPECT_STREQ(jsToStringW(wkeGlobalExec(view), wkeRunJSW(view, L"return 1+1")), L"");
    EXPECT_EQ(wkeGetSource(view), nullptr);
    EXPECT_STREQ(wkeGetTitleW(view), L"");
    EXPECT_EQ(wkeGetContentHeight(view), 0);
    EXPECT_FALSE(wkeIsTrue(wkeCanGoBack(view)));
    EXPECT_LT(GetTickCount64() - start, 2000u) << "calls without Chromium must not wait";
    // The view says why it is empty: its back buffer holds text, not only white.
    HDC dc = wkeGetViewDC(view);
    bool text = false;
    for (int y = 0; y < 40 && !text; ++y)
        for (int x = 0; x < 300 && !text; ++x) text = GetPixel(dc, x, y) != RGB(255, 255, 255);
    EXPECT_TRUE(text) << "the view does not show the reason";
    wkeDestroyWebWindow(view);
    DestroyWindow(host);
}

}  // namespace
