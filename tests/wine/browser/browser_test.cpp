// The browser control over the stand-in engine, which renders in real Chromium: generated
// pages with their styles, script calls, a user's click on a link, dialogs, and a hostile
// entry that tries to take the view elsewhere.
#include <winsock2.h>

#include "framework/win32/browser_control.h"
#include "framework/win32/form.h"
#include "framework/win32/page_guard.h"
#include "framework/win32/window_capture.h"
#include "library/fragment.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "render/page_renderer.h"
#include "text/win32/wide_text.h"

#include "wine/request_listener.h"
#include "wine/user_input.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orv::framework {
namespace {

constexpr int kPageViewId = 122;

std::wstring programFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

using wine::pumpFor;
using wine::pumpUntil;
using wine::RequestListener;

class BrowserTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SetEngineFolder(programFolder()); }

    void SetUp() override {
        FormOptions options;
        options.name = L"FormBrowserTest";
        options.caption = L"浏览器控件";
        options.x = 20, options.y = 20, options.width = 820, options.height = 620;
        std::string error;
        form_ = CreateForm(options, std::make_unique<FormHandler>(), error);
        ASSERT_TRUE(form_) << error;
        ShowForm(form_);
        control_ = std::make_unique<BrowserControl>(form_, kPageViewId, L"Miniblink1", 0, 0, 800, 580);
        ASSERT_TRUE(control_->HasView()) << text::wideToUtf8(EngineProblem());
    }

    void TearDown() override {
        control_.reset();
        if (form_) DestroyWindow(form_);
    }

    // Loads the page and waits until the engine says it finished loading.
    void load(const std::string& html) {
        bool finished = false;
        ASSERT_TRUE(control_->SetEvent("LOADINGFINISH", [&](BrowserEvent&) {
            finished = true;
            return 0;
        }));
        control_->LoadHtml(html);
        ASSERT_TRUE(pumpUntil([&] { return finished; })) << "the page never finished loading";
        control_->SetEvent("LOADINGFINISH", nullptr);
    }

    // The centre of an element of the page, in the view window's pixels.
    POINT centreOf(const std::wstring& selector) {
        const std::wstring at = control_->RunJsText(L"var r = document.querySelector('" + selector +
                                                    L"').getBoundingClientRect();"
                                                    L"return Math.round(r.left + r.width / 2) + ',' + "
                                                    L"Math.round(r.top + r.height / 2);");
        const auto comma = at.find(L',');
        EXPECT_NE(comma, std::wstring::npos) << text::wideToUtf8(at);
        const float zoom = control_->Zoom() > 0 ? control_->Zoom() : 1.0f;
        return {static_cast<LONG>(std::stoi(at.substr(0, comma)) * zoom),
                static_cast<LONG>(std::stoi(at.substr(comma + 1)) * zoom)};
    }

    // A user's click: the button goes down and up over the point of the view window.
    void click(POINT at) {
        HWND view = control_->ViewWindow();
        PostMessageW(view, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
        PostMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    }

    void keepPicture(const char* name) {
        pumpFor(300);
        const std::wstring path = text::utf8ToWide(std::string(ORV_JOURNEY_DIR) + "/" + name);
        EXPECT_TRUE(SaveWindowPng(form_, path)) << name;
    }

    HWND form_ = nullptr;
    std::unique_ptr<BrowserControl> control_;
};

// A keyword page as the help window builds it, from a one-entry library.
std::string keywordPage(const std::string& explain) {
    library::SqliteHostDb db;
    std::string error;
    EXPECT_TRUE(db.openInMemory(library::kPublic, library::kPublic, error)) << error;
    const long long sID = db.addItemUtf(library::kPublic, library::tables::KeywordData,
                                        library::Assignments()
                                            .addText("KeyWord", "Print")
                                            .addText("UKeyWord", "PRINT")
                                            .addText("Description", "Writes text to the screen")
                                            .addText("Syntax", "Print [expressionlist]")
                                            .addText("Explain", explain)
                                            .addText("Examples", "Print \"Hello\"")
                                            .str());
    const long long kID = db.addItemUtf(
        library::kPublic, library::tables::KeywordList,
        library::Assignments().add("dID", 0).add("sID", sID).addText("DisplayKeyWord", "Print").str());
    library::TreeNode record;
    record.id = kID;
    record.lib = library::kPublic;
    const render::PageSources sources{db, text::wideToUtf8(programFolder()), true};
    const auto page = render::buildKeywordPage(sources, record, render::Marking{});
    EXPECT_TRUE(page.has_value());
    return page ? page->html : std::string();
}

TEST_F(BrowserTest, AGeneratedPageShowsWithTheViewFolderStyles) {
    ASSERT_TRUE(GuardPageView(*control_, programFolder(), [](const std::wstring&) {}));
    load(keywordPage("<p>Output goes to the console.</p>"));
    // The title's size and the page's padding come from view/pui/help.css.
    EXPECT_EQ(control_->RunJsText(L"return getComputedStyle(document.querySelector('.title')).fontSize;"), L"22px");
    EXPECT_EQ(control_->RunJsText(L"return document.querySelector('.title').textContent.trim();"), L"Print");
    EXPECT_NE(control_->Source().find("Writes text to the screen"), std::string::npos);
    EXPECT_EQ(control_->ElementValue(L"{value: '值'}"), L"值");
    keepPicture("browser-keyword-page.png");
}

TEST_F(BrowserTest, GlobalFunctionsAreCalledWithStringArguments) {
    load("<html><body><script>"
         "function joined(a, b) { return a + '|' + b; }"
         "function counted() { return arguments.length; }"
         "</script></body></html>");
    EXPECT_EQ(control_->CallGlobal("joined", {L"甲乙", L"b c"}), L"甲乙|b c");
    EXPECT_EQ(control_->CallGlobal8("joined", {"\xE4\xB8\x99", "d"}), "\xE4\xB8\x99|d");
    // Arguments stop at the first empty one.
    EXPECT_EQ(control_->CallGlobal("counted", {L"a", L"", L"c"}), L"1");
}

TEST_F(BrowserTest, AClickOnANewWindowLinkReachesCreateViewAndThePageStays) {
    const char* href = "http://www.freebasic.net/wiki/KeyPgPrint";
    load(std::string("<html><body style='margin:0'><a id='go' target='_blank' href='") + href +
         "' style='position:absolute;left:40px;top:60px;font-size:40px'>Print</a></body></html>");
    const std::wstring before = control_->Url();
    std::wstring asked;
    int createViews = 0;
    ASSERT_TRUE(control_->SetEvent("createview", [&](BrowserEvent& e) -> std::intptr_t {
        EXPECT_EQ(e.form, form_);
        EXPECT_EQ(e.viewWindow, control_->ViewWindow());
        asked = e.text;
        ++createViews;
        return 0;
    }));
    keepPicture("browser-link-page.png");
    click(centreOf(L"#go"));
    ASSERT_TRUE(pumpUntil([&] { return createViews > 0; })) << "the click never reached CREATEVIEW";
    EXPECT_EQ(text::wideToUtf8(asked), href);
    pumpFor(500);
    EXPECT_EQ(createViews, 1);
    EXPECT_EQ(control_->Url(), before);
    EXPECT_NE(control_->Source().find("id=\"go\""), std::string::npos);
}

TEST_F(BrowserTest, DialogsReachTheirHandlers) {
    load("<html><body>dialogs</body></html>");
    std::wstring alerted, confirmed;
    ASSERT_TRUE(control_->SetEvent("ALERTBOX", [&](BrowserEvent& e) -> std::intptr_t {
        alerted = e.text;
        return 0;
    }));
    ASSERT_TRUE(control_->SetEvent("CONFIRMBOX", [&](BrowserEvent& e) -> std::intptr_t {
        confirmed = e.text;
        return 1;
    }));
    ASSERT_TRUE(control_->SetEvent("PROMPTBOX", [&](BrowserEvent& e) -> std::intptr_t {
        e.answer = e.text2 + L"!";
        return 1;
    }));
    control_->RunJs(L"alert('你好');");
    EXPECT_TRUE(pumpUntil([&] { return !alerted.empty(); }));
    EXPECT_EQ(alerted, L"你好");
    EXPECT_EQ(control_->RunJsText(L"return confirm('继续?') ? 'yes' : 'no';"), L"yes");
    EXPECT_EQ(confirmed, L"继续?");
    EXPECT_EQ(control_->RunJsText(L"return prompt('名字', '澄岭');"), L"澄岭!");
}

TEST_F(BrowserTest, AHostileEntryCannotTakeTheViewAway) {
    RequestListener remote;
    const std::string hostile = "<meta http-equiv=\"refresh\" content=\"0;url=" + remote.url("/refresh") + "\">"
                                "<p><a id=\"plain\" href=\"" + remote.url("/plain") + "\" style=\"font-size:30px\">plain</a></p>"
                                "<form id=\"post\" method=\"post\" action=\"" + remote.url("/post") +
                                "\"><input name=\"a\" value=\"1\"></form>"
                                "<img src=\"" + remote.url("/image.png") + "\">";
    // As it stands, not as a page of ours is built from it (that takes these tags out):
    // the guard alone keeps the view.
    const std::string page = "<html><head><title>Print</title></head><body>" + hostile + "</body></html>";

    // Unguarded, the entry does reach the remote address: the test's page is hostile.
    load(page);
    ASSERT_TRUE(pumpUntil([&] { return !remote.requests().empty(); }, 5000))
        << "the hostile page made no request even without the guard";

    // A guarded view of its own keeps to our pages.
    control_.reset();
    pumpFor(500);
    control_ = std::make_unique<BrowserControl>(form_, kPageViewId, L"Miniblink1", 0, 0, 800, 580);
    ASSERT_TRUE(control_->HasView());
    std::vector<std::wstring> openedOutside;
    ASSERT_TRUE(GuardPageView(*control_, programFolder(),
                              [&](const std::wstring& url) { openedOutside.push_back(url); }));
    const std::size_t before = remote.requests().size();
    load(page);
    const std::wstring ours = control_->Url();
    pumpFor(1500);
    EXPECT_EQ(control_->Url(), ours);
    EXPECT_EQ(control_->RunJsText(L"return document.title;"), L"Print");

    // The user clicks the plain link: it opens outside, the view stays.
    click(centreOf(L"#plain"));
    EXPECT_TRUE(pumpUntil([&] { return !openedOutside.empty(); }, 5000));
    ASSERT_EQ(openedOutside.size(), 1u);
    EXPECT_EQ(text::wideToUtf8(openedOutside[0]), remote.url("/plain"));
    control_->RunJs(L"document.getElementById('post').submit();");
    pumpFor(1000);
    EXPECT_EQ(control_->Url(), ours);
    const std::vector<std::string> requests = remote.requests();
    for (std::size_t i = before; i < requests.size(); ++i) ADD_FAILURE() << "the guarded page sent " << requests[i];
    keepPicture("browser-hostile-entry.png");
}

// The guard fails closed: handlers that fail refuse, so the view stays on its page and
// nothing remote is asked for.
TEST_F(BrowserTest, AFailingGuardRefuses) {
    RequestListener remote;
    const LocalPagePolicy policy(FolderFileUrl(text::wideToUtf8(programFolder())));
    const auto failing = [&policy](bool document) {
        return [&policy, document](BrowserEvent& e) -> std::intptr_t {
            const std::string url = text::wideToUtf8(e.text);
            if (!(document ? policy.AllowsDocument(url) : policy.AllowsRequest(url)))
                throw std::runtime_error("refused by failing");
            return document ? 1 : 0;
        };
    };
    ASSERT_TRUE(control_->SetEvent("NAVIGATION", failing(true)));
    ASSERT_TRUE(control_->SetEvent("LOADURLBEGIN", failing(false)));
    load("<html><body><p id=\"ours\">ours</p><img src=\"" + remote.url("/image.png") + "\"></body></html>");
    const std::wstring ours = control_->Url();
    control_->RunJs(L"location.href = '" + text::utf8ToWide(remote.url("/away")) + L"';");
    pumpFor(1500);
    EXPECT_EQ(control_->Url(), ours);
    EXPECT_EQ(control_->RunJsText(L"return document.getElementById('ours').textContent;"), L"ours");
    for (const std::string& request : remote.requests()) ADD_FAILURE() << "the page sent " << request;
}

TEST_F(BrowserTest, EventsAreKnownByNameOnly) {
    EXPECT_EQ(BrowserEventNames().size(), 31u);
    EXPECT_FALSE(control_->SetEvent("NOSUCHEVENT", [](BrowserEvent&) { return 0; }));
    EXPECT_TRUE(control_->SetEvent("urlChanged", [](BrowserEvent&) { return 0; }));
    EXPECT_TRUE(control_->SetUserData(99, 7));
    EXPECT_EQ(control_->UserData(99), 7);
    EXPECT_FALSE(control_->SetUserData(100, 7));
    EXPECT_EQ(control_->UserData(100), 0);
    ASSERT_NE(control_->Record(), nullptr);
    EXPECT_EQ(control_->Record()->id, kPageViewId);
    EXPECT_EQ(control_->Record()->webView, control_->WebView());
}

// Run in a process of its own (see CMakeLists.txt): the engine binds once per process.
// An engine that cannot cancel a request cannot be guarded: the guard says so and takes
// no view, so no shared page is shown over it.
TEST(EngineWithoutCancel, ViewsCannotBeGuarded) {
    SetEngineFolder(programFolder() + L"without-cancel\\");
    FormOptions options;
    options.name = L"FormEngineWithoutCancel";
    std::string error;
    HWND form = CreateForm(options, std::make_unique<FormHandler>(), error);
    ASSERT_TRUE(form) << error;
    {
        BrowserControl control(form, kPageViewId, L"Miniblink1", 0, 0, 300, 200);
        ASSERT_TRUE(control.HasView()) << text::wideToUtf8(EngineProblem());
        EXPECT_NE(PageGuardProblem(control).find(L"wkeNetCancelRequest"), std::wstring::npos);
        EXPECT_FALSE(GuardPageView(control, programFolder(), {}));
        EXPECT_FALSE(GuardPageView(control, std::make_shared<SitePolicy>("http://127.0.0.1:1/"), {}));
    }
    DestroyWindow(form);
}

TEST(NoEngine, TheControlStaysEmptyAndNothingFails) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring empty = std::wstring(temp) + L"orv-no-engine\\";
    CreateDirectoryW(empty.c_str(), nullptr);
    SetEngineFolder(empty);

    FormOptions options;
    options.name = L"FormNoEngine";
    std::string error;
    HWND form = CreateForm(options, std::make_unique<FormHandler>(), error);
    ASSERT_TRUE(form) << error;
    BrowserControl control(form, kPageViewId, L"Miniblink1", 0, 0, 300, 200);
    EXPECT_FALSE(control.HasView());
    EXPECT_NE(EngineProblem().find(L"mb.dll"), std::wstring::npos);
    control.LoadHtml("<p>x</p>");
    control.LoadHtmlW(L"");
    EXPECT_FALSE(control.LoadFile(L"C:\\page.htm"));
    EXPECT_EQ(control.Url(), L"");
    EXPECT_EQ(control.RunJsText(L"return 1"), L"");
    EXPECT_EQ(control.CallGlobal("f", {L"a"}), L"");
    EXPECT_EQ(control.Source(), "");
    EXPECT_FALSE(control.SetEvent("CREATEVIEW", [](BrowserEvent&) { return 0; }));
    EXPECT_FALSE(GuardPageView(control, empty, {}));
    EXPECT_EQ(control.UserData(1), 0);
    EXPECT_EQ(control.Record(), nullptr);
    DestroyWindow(form);
}

}  // namespace
}  // namespace orv::framework
