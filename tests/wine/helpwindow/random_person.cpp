// A random person in front of the plug-in's windows: see random_person.h.
#include "helpwindow/random_person.h"

#include "framework/win32/form.h"
#include "framework/win32/operations.h"
#include "helpwindow/menu_states.h"
#include "helpwindow/win32/help_window.h"
#include "helpwindow/win32/page_message.h"
#include "helpwindow/window_driver.h"
#include "helpwindow/window_layout.h"
#include "text/win32/wide_text.h"
#include "tools/win32/progress_window.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

namespace orv::helpwindow_test {

using namespace orv::helpwindow;
using namespace std::chrono_literals;

namespace {

// How long the window thread may take to answer one of the person's questions.
constexpr UINT kAnswerLimitMs = 20000;

// What the person types: plain words, quotes of both kinds, markup, SQL's wildcards,
// and Chinese.
const std::vector<std::wstring> kWords = {L"PRI", L"DIM", L"O'Neil", L"\"quoted\"", L"<b>bold</b>", L"%_", L"'; --",
                                          L"画", L"运算符", L"a&b", L"<script>x</script>", L"FOR"};
// What the IDE's page message may carry.
const std::vector<std::string> kLinks = {"k02", "k03", "r01", "r02", "r18", "k115", "y12", "tPRINT", "tnothing",
                                         "s02", "c01,x", "x9", "r099999"};
// Commands of the help window a person reaches through its menus and buttons; 查看网页源码
// is left out (it starts Notepad), so are the commands a disabled item would not give.
const std::vector<int> kCommands = {kCmdHome,       kCmdBack,         kCmdForward,         kCmdEdit,
                                    kCmdDelete,     kCmdFavorite,     kCmdSync,            kCmdSetup,
                                    kMenuCopy,      kMenuPaste,       kMenuPasteShared,    kMenuNewTopCategory,
                                    kMenuNewCategory, kMenuNewEntry,  kMenuEdit,           kMenuMove,
                                    kMenuDelete,    kMenuSearchLinks, kMenuStatistics,     kMenuCopyText,
                                    kMenuSelectAll};

struct WindowList {
    DWORD thread;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM lParam) {
    auto& list = *reinterpret_cast<WindowList*>(lParam);
    if (GetWindowThreadProcessId(window, nullptr) == list.thread && IsWindowVisible(window)) list.found.push_back(window);
    return TRUE;
}

// The controls of that class a hand can reach: shown and enabled. (A disabled radio
// button is no target anyway, and Wine's BM_CLICK on one walks its group for ever.)
std::vector<HWND> childrenOfClass(HWND parent, const wchar_t* className) {
    std::vector<HWND> out;
    for (HWND child = FindWindowExW(parent, nullptr, className, nullptr); child;
         child = FindWindowExW(parent, child, className, nullptr))
        if (IsWindowVisible(child) && IsWindowEnabled(child)) out.push_back(child);
    return out;
}

}  // namespace

std::wstring classOf(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

std::vector<HWND> topLevelWindows(DWORD thread) {
    WindowList list{thread, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&list));
    return list.found;
}

Person::Person(unsigned number, DWORD windowThread, HWND ide, std::ostream& log)
    : random_(number), windowThread_(windowThread), ide_(ide), log_(log) {}

bool Person::run(int actions) {
    for (action_ = 1; action_ <= actions; ++action_) {
        answerBoxes();
        if (!act()) return false;
        if (afterAction) afterAction();
        std::this_thread::sleep_for(std::chrono::milliseconds(pick(shortestPauseMs, longestPauseMs)));
    }
    return true;
}

int Person::pick(int from, int to) { return std::uniform_int_distribution<int>(from, to)(random_); }

void Person::note(const std::string& what) {
    log_ << '#' << action_ << ' ' << what << std::endl;
    last_ = what;
}

// A question to the window thread; false (noted as the failure) when it does not answer.
bool Person::ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    DWORD_PTR answer = 0;
    if (!IsWindow(window)) return true;
    if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kAnswerLimitMs, &answer)) {
        result = static_cast<LRESULT>(answer);
        return true;
    }
    if (GetLastError() == ERROR_TIMEOUT) {
        failure_ = "action #" + std::to_string(action_) + " (" + last_ + "): the window thread did not answer";
        return false;
    }
    return true;  // the window went meanwhile
}

void click(HWND window, POINT at, bool right = false, WPARAM keys = 0) {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    PostMessageW(window, WM_MOUSEMOVE, keys, where);
    PostMessageW(window, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, keys | (right ? MK_RBUTTON : MK_LBUTTON), where);
    PostMessageW(window, right ? WM_RBUTTONUP : WM_LBUTTONUP, keys, where);
}

void type(HWND window, const std::wstring& text) {
    for (wchar_t c : text) PostMessageW(window, WM_CHAR, c, 1);
}

void key(HWND window, UINT vk) {
    PostMessageW(window, WM_KEYDOWN, vk, 1);
    PostMessageW(window, WM_KEYUP, vk, 1 | (1u << 30) | (1u << 31));
}

// Message boxes and the system's dialogs: most are answered with one of their buttons.
void Person::answerBoxes() {
    for (HWND box : topLevelWindows(windowThread_)) {
        if (classOf(box) != L"#32770" || pick(0, 9) < 3) continue;
        std::vector<HWND> buttons;
        for (int id : {IDOK, IDCANCEL, IDYES, IDNO})
            if (HWND b = GetDlgItem(box, id); b && IsWindowVisible(b)) buttons.push_back(b);
        if (buttons.empty()) {
            note("close a dialog");
            PostMessageW(box, WM_CLOSE, 0, 0);
            continue;
        }
        HWND chosen = oneOf(buttons);
        note("answer a box with button " + std::to_string(GetDlgCtrlID(chosen)));
        PostMessageW(chosen, BM_CLICK, 0, 0);
    }
}

namespace {
HWND helpWindow() { return FindWindowW(kWindowClass, nullptr); }
}  // namespace

bool Person::act() {
    HWND help = helpWindow();
    if (!help) {
        note("press the IDE's button");
        PostMessageW(ide_, Ide::kPressIdeButton, 0, 0);
        return true;
    }
    // An open menu is closed or walked first: nothing else reaches the window meanwhile.
    if (HWND menu = FindWindowW(L"#32768", nullptr); menu && IsWindowVisible(menu)) {
        note("a key on the open menu");
        const UINT keys[] = {VK_ESCAPE, VK_DOWN, VK_RETURN};
        key(menu, keys[pick(0, 2)]);
        return true;
    }
    const int roll = pick(0, 99);
    // A hand reaches only windows that take input: below a modal window or a running
    // operation's progress, the help window only gets the IDE's page message.
    const bool byHand = roll < 65 || (roll >= 70 && roll < 74) || (roll >= 96 && roll < 98);
    if (byHand && !IsWindowEnabled(help)) return otherWindow();
    if (roll < 18) return clickTreeItem(help);
    if (roll < 23) return rightClickTree(help);
    if (roll < 37) return command(help);
    if (roll < 45) return clickToolbar(help);
    if (roll < 51) return clickTab(help);
    if (roll < 59) return typeIntoSearch(help);
    if (roll < 65) return clickListLine(help);
    if (roll < 70) return pageMessage(help);
    if (roll < 74) return clickPage(help);
    if (roll < 96) return otherWindow();
    if (roll < 98) return closeSomething(help);
    note("press the IDE's button");
    PostMessageW(ide_, Ide::kPressIdeButton, 0, 0);
    return true;
}

bool Person::clickTreeItem(HWND help) {
    HWND tree = GetDlgItem(help, kTreeList1);
    std::vector<HTREEITEM> visible;
    LRESULT item = 0;
    if (!ask(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0, item)) return false;
    while (item && visible.size() < 40) {
        visible.push_back(reinterpret_cast<HTREEITEM>(item));
        if (!ask(tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, item, item)) return false;
    }
    if (visible.empty()) return true;
    // The item goes in where the rectangle comes back.
    RECT rect{};
    const HTREEITEM chosen = oneOf(visible);
    std::memcpy(&rect, &chosen, sizeof chosen);
    LRESULT got = 0;
    if (!ask(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect), got)) return false;
    if (!got) return true;
    const int how = pick(0, 9);
    if (how < 2) {
        note("click a tree item's button");
        click(tree, {rect.left - 10, (rect.top + rect.bottom) / 2});
    } else {
        const WPARAM keys = how == 2 ? MK_CONTROL : how == 3 ? MK_SHIFT : 0;
        note(std::string("click a tree item") + (keys == MK_CONTROL ? " with Ctrl" : keys == MK_SHIFT ? " with Shift" : ""));
        click(tree, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, false, keys);
    }
    return true;
}

bool Person::rightClickTree(HWND help) {
    HWND tree = GetDlgItem(help, kTreeList1);
    RECT client{};
    GetClientRect(tree, &client);
    note("right-click the tree");
    click(tree, {pick(5, std::max(6, static_cast<int>(client.right) - 5)), pick(5, std::max(6, static_cast<int>(client.bottom) - 5))},
          true);
    return true;
}

bool Person::command(HWND help) {
    const int id = oneOf(kCommands);
    note("command " + std::to_string(id));
    PostMessageW(help, WM_COMMAND, static_cast<WPARAM>(id), 0);
    return true;
}

bool Person::clickToolbar(HWND help) {
    HWND toolbar = GetDlgItem(help, kToolBar1);
    const CommandItem button = kToolbarButtons[static_cast<size_t>(pick(0, static_cast<int>(kToolbarButtons.size()) - 1))];
    if (button.text.empty()) return true;
    RECT rect{};
    LRESULT got = 0;
    if (!ask(toolbar, TB_GETRECT, static_cast<WPARAM>(button.id), reinterpret_cast<LPARAM>(&rect), got)) return false;
    if (!got) return true;
    note("click the toolbar's " + std::string(button.text));
    click(toolbar, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    return true;
}

bool Person::clickTab(HWND help) {
    HWND tabs = GetDlgItem(help, kTabControl1);
    const int tab = pick(0, 3);
    RECT rect{};
    LRESULT got = 0;
    if (!ask(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&rect), got)) return false;
    if (!got) return true;
    note("click tab " + std::to_string(tab));
    click(tabs, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    return true;
}

bool Person::typeIntoSearch(HWND help) {
    HWND box = GetDlgItem(help, kText1);
    if (!IsWindowVisible(box)) return true;
    note("type into the search box");
    click(box, {5, 5});
    if (pick(0, 2) == 0)
        for (int i = pick(1, 6); i > 0; --i) key(box, VK_BACK);
    type(box, oneOf(kWords));
    if (pick(0, 1) == 0) key(box, VK_RETURN);
    return true;
}

bool Person::clickListLine(HWND help) {
    HWND list = GetDlgItem(help, kList1);
    if (!IsWindowVisible(list)) return true;
    LRESULT lines = 0;
    if (!ask(list, LB_GETCOUNT, 0, 0, lines)) return false;
    if (lines <= 0) return true;
    RECT rect{};
    LRESULT got = 0;
    if (!ask(list, LB_GETITEMRECT, static_cast<WPARAM>(pick(0, static_cast<int>(std::min<LRESULT>(lines, 15)) - 1)),
             reinterpret_cast<LPARAM>(&rect), got))
        return false;
    if (got == LB_ERR) return true;  // the lines changed meanwhile
    note("click a line of the list");
    click(list, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    return true;
}

bool Person::pageMessage(HWND help) {
    const std::string& link = oneOf(kLinks);
    note("the IDE's page message follows " + link);
    LRESULT ignored = 0;  // the page message answers nothing
    return ask(help, kPageMessage, kFollowLink, reinterpret_cast<LPARAM>(link.c_str()), ignored);
}

bool Person::clickPage(HWND help) {
    HWND view = FindWindowExW(help, nullptr, L"wkeWebWindow", nullptr);
    if (!view) return true;
    RECT client{};
    GetClientRect(view, &client);
    const bool right = pick(0, 3) == 0;
    note(right ? "right-click the page" : "click the page");
    click(view, {pick(1, std::max(2, static_cast<int>(client.right) - 1)), pick(1, std::max(2, static_cast<int>(client.bottom) - 1))},
          right);
    return true;
}

// The other windows of ours: a button pressed, a field typed into, a line chosen.
bool Person::otherWindow() {
    std::vector<HWND> others;
    for (HWND w : topLevelWindows(windowThread_))
        if (framework::IsForm(w) && classOf(w) != kWindowClass && IsWindowEnabled(w)) others.push_back(w);
    if (others.empty()) return true;
    HWND window = oneOf(others);
    const std::wstring name = classOf(window);
    std::vector<HWND> buttons = childrenOfClass(window, L"Button");
    const int roll = pick(0, 9);
    if (roll < 6 && !buttons.empty()) {
        HWND button = oneOf(buttons);
        wchar_t text[64] = {};
        LRESULT length = 0;
        if (!ask(button, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), length)) return false;
        if (length <= 0) return true;  // the button went meanwhile
        // The import window's commands would read the whole disk or run statements
        // a person types: its buttons stay unpressed but for the backup.
        if (name.find(L"Form制作") != std::wstring::npos && std::wstring(text) != L"备份公库和私库") return true;
        note("press " + text::wideToUtf8(text) + " in " + text::wideToUtf8(name));
        PostMessageW(button, BM_CLICK, 0, 0);
        return true;
    }
    if (roll < 8) {
        if (name.find(L"Form分类") != std::wstring::npos) {
            std::vector<HWND> edits = childrenOfClass(window, L"Edit");
            if (!edits.empty()) {
                HWND edit = oneOf(edits);
                if (GetWindowLongW(edit, GWL_STYLE) & ES_READONLY) return true;
                note("type into the category editor");
                type(edit, oneOf(kWords));
            }
        } else if (name.find(L"Form词条") != std::wstring::npos) {
            if (HWND view = FindWindowExW(window, nullptr, L"wkeWebWindow", nullptr)) {
                RECT client{};
                GetClientRect(view, &client);
                note("click and type into the entry editor's page");
                click(view, {pick(1, std::max(2, static_cast<int>(client.right) - 1)), pick(1, std::max(2, static_cast<int>(client.bottom) / 2))});
                type(view, oneOf(kWords));
            }
        } else {
            std::vector<HWND> lists = childrenOfClass(window, L"SysListView32");
            std::vector<HWND> trees = childrenOfClass(window, L"SysTreeView32");
            if (!lists.empty()) {
                note("click a row of the sync list");
                click(lists.front(), {pick(20, 300), pick(25, 120)});
            } else if (!trees.empty()) {
                note("click in the chooser's tree");
                click(trees.front(), {pick(10, 150), pick(5, 120)});
            }
        }
        return true;
    }
    note("close " + text::wideToUtf8(name));
    PostMessageW(window, roll == 8 ? WM_CLOSE : WM_SYSCOMMAND, roll == 8 ? 0 : SC_CLOSE, 0);
    return true;
}

bool Person::closeSomething(HWND help) {
    if (pick(0, 2) == 0) {
        note("close the help window");
        PostMessageW(help, WM_CLOSE, 0, 0);
    } else {
        note("the help window's close box");
        PostMessageW(help, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    return true;
}


Ide::Ide(library::HostDb& db, std::string folder) : db_(&db), folder_(std::move(folder)) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"RandomPeopleIde";
    RegisterClassW(&wc);
    window_ = CreateWindowExW(0, L"RandomPeopleIde", L"IDE", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Ide::~Ide() { DestroyWindow(window_); }

LRESULT CALLBACK Ide::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Ide*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == kPressIdeButton) {
        openHelpWindow(*self->db_, self->folder_, 0);
        return 0;
    }
    if (self && message > kPressIdeButton && message < 0xC000) {
        if (self->onAppMessage) self->onAppMessage(message, wParam, lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void dismissOnce(DWORD windowThread, bool closeForms) {
    for (HWND w : topLevelWindows(windowThread)) {
        const std::wstring name = classOf(w);
        if (name == L"#32770") {
            HWND button = nullptr;
            for (int id : {IDNO, IDCANCEL, IDOK})
                if (!button) button = GetDlgItem(w, id);
            if (button) PostMessageW(button, BM_CLICK, 0, 0);
            else PostMessageW(w, WM_CLOSE, 0, 0);
        } else if (name == L"#32768") {
            PostMessageW(w, WM_KEYDOWN, VK_ESCAPE, 1);
        } else if (closeForms && name != kWindowClass && framework::IsForm(w) && IsWindowEnabled(w)) {
            PostMessageW(w, WM_CLOSE, 0, 0);
        }
    }
}

void dismissUntil(DWORD windowThread, const std::atomic<bool>& back, int limitMs) {
    const auto deadline = GetTickCount64() + static_cast<ULONGLONG>(limitMs);
    while (!back && GetTickCount64() < deadline) {
        dismissOnce(windowThread, true);
        std::this_thread::sleep_for(200ms);
    }
}

bool playPerson(Person& person, int actions) {
    const DWORD windowThread = GetCurrentThreadId();
    std::atomic<bool> done{false}, back{false};
    bool answered = true;
    std::thread hand([&] {
        answered = person.run(actions);
        done = true;
        if (answered) dismissUntil(windowThread, back);
    });
    while (!done) pumpFor(20);
    back = true;
    hand.join();
    return answered;
}

void settle(int limitMs) {
    const DWORD windowThread = GetCurrentThreadId();
    std::atomic<bool> quiet{false};
    std::thread hand([&] {
        const auto deadline = GetTickCount64() + static_cast<ULONGLONG>(limitMs);
        while (!quiet && GetTickCount64() < deadline) {
            dismissOnce(windowThread, false);
            std::this_thread::sleep_for(100ms);
        }
    });
    int calm = 0;
    const auto deadline = GetTickCount64() + static_cast<ULONGLONG>(limitMs);
    while (calm < 5 && GetTickCount64() < deadline) {
        pumpFor(200);
        bool asking = false;
        for (HWND w : topLevelWindows(windowThread)) asking |= classOf(w) == L"#32770" || classOf(w) == L"#32768";
        const bool running =
            framework::PluginOperations().busy() || FindWindowW(tools::kProgressWindowClass, nullptr) != nullptr;
        calm = asking || running ? 0 : calm + 1;
    }
    quiet = true;
    hand.join();
}

}  // namespace orv::helpwindow_test
