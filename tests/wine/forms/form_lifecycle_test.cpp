// A form's life: close requests its handler may refuse, modal showing over a disabled
// owner chain, subclassed controls, user-data slots, and destruction giving back every
// record and what the records own.
#include "forms/forms_support.h"

#include "framework/win32/controls.h"
#include "framework/win32/message_loop.h"

#include <gtest/gtest.h>

using namespace orv;
using namespace orv::framework;
using namespace orv::forms_test;

namespace {

FormOptions namedForm(const wchar_t* name) {
    FormOptions options;
    options.name = name;
    options.caption = name;
    options.width = 300;
    options.height = 200;
    return options;
}

HWND addControl(HWND form, const char* kind, int id, ControlOptions control = {}) {
    control.kind = kind;
    control.id = id;
    control.name = L"C" + std::to_wstring(id);
    control.x = 10;
    control.y = 10 + (id % 10) * 25;
    control.width = 120;
    control.height = 22;
    std::string error;
    HWND made = CreateControl(form, control, error);
    EXPECT_NE(made, nullptr) << kind << ": " << error;
    return made;
}

// --- close requests ------------------------------------------------------------------

TEST(FormClose, HandlerThatAnswersNonZeroKeepsTheFormOpen) {
    std::vector<std::string> calls;
    auto handler = std::make_unique<NotingHandler>();
    handler->calls = &calls;
    handler->closeAnswer = 1;
    NotingHandler* noted = handler.get();
    HWND form = makeForm(namedForm(L"FormKeep"), std::move(handler));
    ASSERT_NE(form, nullptr);

    SendMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(form)) << "a close request the handler refuses";
    SendMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(form)) << "the system menu's close asks the same handler";
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "close"), 2);

    noted->closeAnswer = 0;
    ASSERT_TRUE(PostCloseRequest(form));
    EXPECT_TRUE(dispatchUntil([&] { return !IsWindow(form); })) << "a posted close request, now granted";
    EXPECT_EQ(calls.back(), "destroy");
}

// --- modal showing ---------------------------------------------------------------------

struct ModalRun {
    HWND owner = nullptr;       // the top-level form
    HWND ownerChild = nullptr;  // the control the modal form was asked to belong to
    HWND modal = nullptr;
    bool ownersDisabledWhileShown = false;
    bool ownersEnabledAtDestroy = false;
    bool quitInstead = false;
};
ModalRun* g_run = nullptr;

void CALLBACK whileModal(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    g_run->ownersDisabledWhileShown = !IsWindowEnabled(g_run->owner) && !IsWindowEnabled(g_run->ownerChild) &&
                                      IsWindowVisible(g_run->modal);
    if (g_run->quitInstead) PostQuitMessage(7);
    else PostCloseRequest(g_run->modal);
}

class FormModal : public ::testing::Test {
protected:
    void SetUp() override {
        run.owner = makeForm(namedForm(L"FormOwner"));
        ASSERT_NE(run.owner, nullptr);
        ShowForm(run.owner);
        run.ownerChild = addControl(run.owner, "BUTTON", 401);
        FormOptions options = namedForm(L"FormModal");
        options.owner = run.ownerChild;
        auto handler = std::make_unique<NotingHandler>();
        handler->whenDestroyed = [this](HWND) {
            run.ownersEnabledAtDestroy = IsWindowEnabled(run.owner) && IsWindowEnabled(run.ownerChild);
        };
        run.modal = makeForm(options, std::move(handler));
        ASSERT_NE(run.modal, nullptr);
        g_run = &run;
        SetTimer(nullptr, 0, 200, whileModal);
    }
    void TearDown() override {
        g_run = nullptr;
        if (IsWindow(run.owner)) DestroyWindow(run.owner);
    }
    ModalRun run;
};

TEST_F(FormModal, DisablesTheOwnerChainAndReturnsWhenClosed) {
    EXPECT_EQ(ShowModal(run.modal), ModalEnd::Closed);
    EXPECT_TRUE(run.ownersDisabledWhileShown) << "the owner control and its form, while the modal form is up";
    EXPECT_TRUE(run.ownersEnabledAtDestroy) << "enabled before the form is destroyed, so the focus can go back";
    EXPECT_FALSE(IsWindow(run.modal));
    EXPECT_TRUE(IsWindowEnabled(run.owner));
}

TEST_F(FormModal, QuitMessageEndsTheLoopAndIsPostedAgain) {
    run.quitInstead = true;
    EXPECT_EQ(ShowModal(run.modal), ModalEnd::Quit);
    EXPECT_TRUE(run.ownersDisabledWhileShown);
    EXPECT_TRUE(IsWindowEnabled(run.owner));
    EXPECT_TRUE(IsWindowEnabled(run.ownerChild));
    MSG quit;
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the outer loop still gets the quit";
    EXPECT_EQ(quit.wParam, 7u);
}

// --- subclassed controls -----------------------------------------------------------------

struct SubclassSeen {
    HWND control = nullptr;
    LONG_PTR oldProc = 0;
    int messages = 0;
    bool restoredAtDestruction = false;
    bool propertyGone = false;
    bool recordGone = false;
    UINT_PTR subclassId = 0;
    DWORD_PTR subclassData = 0;
};
SubclassSeen g_seen;

LRESULT CALLBACK replacingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ++g_seen.messages;
    const LRESULT result = CallOldWindowProc(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // Every procedure put in front of the class's own has been taken away again.
        g_seen.restoredAtDestruction =
            GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == static_cast<LONG_PTR>(GetClassLongPtrW(hwnd, GCLP_WNDPROC));
        g_seen.propertyGone = GetPropW(hwnd, kOldProcProperty) == nullptr;
        g_seen.recordGone = FindRecord(hwnd) == nullptr;
    }
    return result;
}

LRESULT CALLBACK subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
    g_seen.subclassId = id;
    g_seen.subclassData = data;
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

TEST(FormSubclass, ReplacedProcedureIsFoundRestoredAndReleased) {
    g_seen = {};
    HWND form = makeForm(namedForm(L"FormSubclass"));
    ASSERT_NE(form, nullptr);
    ShowForm(form);
    ControlOptions options;
    options.replaceProc = replacingProc;
    HWND edit = addControl(form, "TEXTBOX", 501, options);
    ASSERT_NE(edit, nullptr);
    addControl(form, "BUTTON", 502);

    g_seen.oldProc = reinterpret_cast<LONG_PTR>(GetPropW(edit, kOldProcProperty));
    EXPECT_NE(g_seen.oldProc, 0) << "the replaced procedure is kept in OLDWNDPROC";
    EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(replacingProc));
    const ControlRecord* record = FindRecord(edit);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->name, L"C501");
    EXPECT_EQ(record->parent, form);

    SetFocus(edit);
    EXPECT_EQ(FindRecord(form)->focusChild, edit) << "the subclassed control becomes the focus child";
    SetFocus(GetDlgItem(form, 502));
    SetFocus(form);
    EXPECT_EQ(GetFocus(), GetDlgItem(form, 502)) << "the form passes its focus on to its focus child";

    SetControlText(edit, L"文字");
    EXPECT_EQ(GetControlText(edit), L"文字");
    EXPECT_GT(g_seen.messages, 0);

    DestroyWindow(edit);
    EXPECT_TRUE(g_seen.restoredAtDestruction) << "the replaced procedure is put back on destruction";
    EXPECT_TRUE(g_seen.propertyGone);
    EXPECT_TRUE(g_seen.recordGone);
    EXPECT_EQ(FindChildRecord(form, 501), nullptr);
    DestroyWindow(form);
}

TEST(FormSubclass, OtherModesSubclassWithTheirIdAndData) {
    g_seen = {};
    HWND form = makeForm(namedForm(L"FormSubclass2"));
    ASSERT_NE(form, nullptr);
    ControlOptions options;
    options.subclassProc = subclassProc;
    options.subclassId = 3;
    options.subclassData = 0xBEEF;
    HWND button = addControl(form, "BUTTON", 503, options);
    ASSERT_NE(button, nullptr);
    SendMessageW(button, WM_NULL, 0, 0);
    EXPECT_EQ(g_seen.subclassId, 3u);
    EXPECT_EQ(g_seen.subclassData, 0xBEEFu);
    EXPECT_EQ(GetPropW(button, kOldProcProperty), nullptr) << "only the replacing mode keeps OLDWNDPROC";
    DestroyWindow(form);
}

// --- user data ---------------------------------------------------------------------------

TEST(FormUserData, SlotsOfFormsAndControlsAreTheirOwn) {
    HWND form = makeForm(namedForm(L"FormSlots"));
    ASSERT_NE(form, nullptr);
    HWND control = addControl(form, "LABEL", 601);
    struct Case {
        HWND window;
        int slot;
        std::intptr_t value;
        bool written;
    };
    const Case cases[] = {
        {form, 0, 11, true}, {form, 99, -5, true}, {control, 0, 22, true},
        {control, 100, 33, false}, {control, -1, 44, false}, {GetDesktopWindow(), 1, 55, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slot);
        EXPECT_EQ(SetUserData(c.window, c.slot, c.value), c.written);
        EXPECT_EQ(GetUserData(c.window, c.slot), c.written ? c.value : 0);
    }
    EXPECT_EQ(GetUserData(form, 0), 11) << "the control's slot 0 is not the form's";
    DestroyWindow(form);
}

// --- destruction ---------------------------------------------------------------------------

TEST(FormDestruction, EveryRecordAndWhatItOwnsIsReleased) {
    FormOptions options = namedForm(L"FormGone");
    HWND form = makeForm(options);
    ASSERT_NE(form, nullptr);
    HWND label = addControl(form, "LABEL", 701);
    HWND button = addControl(form, "BUTTON", 702);
    ControlOptions iconOptions;
    iconOptions.caption = L"#101";
    HWND icon = addControl(form, "ICONLABEL", 703, iconOptions);
    HWND adopted = CreateWindowExW(0, L"Static", L"", WS_CHILD, 0, 0, 10, 10, form, nullptr, nullptr, nullptr);
    ASSERT_NE(AdoptChildWindow(form, adopted, L"View1", 704, 0, 0, 10, 10), nullptr);
    EXPECT_EQ(FindChildRecord(form, 704)->name, L"View1");

    const BYTE andMask[4 * 32] = {}, xorMask[4 * 32] = {};
    HCURSOR cursor = CreateCursor(GetModuleHandleW(nullptr), 0, 0, 32, 32, andMask, xorMask);
    ASSERT_TRUE(SetControlCursor(button, cursor, true));
    ASSERT_TRUE(SetControlToolTip(button, L"提示"));
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(form, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
    DeleteDC(dc);

    const ControlRecord* formRecord = FindRecord(form);
    ASSERT_NE(formRecord, nullptr);
    EXPECT_EQ(GetPropW(form, kFormRecordProperty), formRecord);
    const HICON largeIcon = formRecord->largeIcon;
    EXPECT_NE(largeIcon, nullptr) << "forms take AAAAA_APPICON";
    const HBRUSH brush = FindRecord(label)->brush;
    const HWND tooltip = FindRecord(button)->tooltip;
    const HANDLE image = FindRecord(icon)->image;
    ASSERT_NE(brush, nullptr);
    ASSERT_NE(tooltip, nullptr);
    ASSERT_NE(image, nullptr);

    DestroyWindow(form);
    for (HWND window : {form, label, button, icon, adopted}) EXPECT_EQ(WindowRecords().Lookup(window), nullptr);
    EXPECT_EQ(FindRecord(form), nullptr);
    EXPECT_EQ(GetObjectType(brush), 0u) << "brush";
    EXPECT_FALSE(IsWindow(tooltip)) << "tooltip";
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(largeIcon, &info)) << "the form's icon";
    EXPECT_FALSE(GetIconInfo(static_cast<HICON>(image), &info)) << "the icon label's image";
    EXPECT_FALSE(GetIconInfo(cursor, &info)) << "the control's own cursor";
}

TEST(FormDestruction, ControlDestroyedAloneGivesUpItsRecordAtOnce) {
    HWND form = makeForm(namedForm(L"FormAlone"));
    ASSERT_NE(form, nullptr);
    HWND list = addControl(form, "LISTBOX", 801);
    ASSERT_NE(FindChildRecord(form, 801), nullptr);
    DestroyWindow(list);
    EXPECT_EQ(WindowRecords().Lookup(list), nullptr);
    EXPECT_EQ(FindChildRecord(form, 801), nullptr);
    EXPECT_NE(FindRecord(form), nullptr) << "the form keeps its own";
    DestroyWindow(form);
}

// --- the table itself ----------------------------------------------------------------------

TEST(RecordTableBlocks, GrowsByBlocksOfAHundredAndReusesFreedPairs) {
    RecordTable table;
    std::vector<ControlRecord> records(250);
    const auto key = [](int i) { return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(0x10000 + 4 * i)); };
    for (int i = 0; i < 250; ++i) ASSERT_TRUE(table.Register(key(i), &records[static_cast<size_t>(i)]));
    EXPECT_EQ(table.BlockCount(), 3u);
    for (int i = 0; i < 250; ++i) EXPECT_EQ(table.Lookup(key(i)), &records[static_cast<size_t>(i)]);

    table.Register(key(7), &records[0]);
    EXPECT_EQ(table.Lookup(key(7)), &records[0]) << "a handle present gets its new record";
    table.Remove(key(7));
    EXPECT_EQ(table.Lookup(key(7)), nullptr);
    for (int i = 250; i < 300; ++i) table.Register(key(i), &records[0]);
    table.Register(key(300), &records[1]);  // fills the pair freed in the first block
    EXPECT_EQ(table.BlockCount(), 3u) << "freed pairs are used before a new block";
    EXPECT_EQ(table.Lookup(key(300)), &records[1]);
    EXPECT_FALSE(table.Register(nullptr, &records[0]));
}

// --- message pumping -------------------------------------------------------------------------

TEST(FormMessages, PumpDispatchesWhatIsQueuedAndWaitKeepsDispatching) {
    int commands = 0;
    auto handler = std::make_unique<NotingHandler>();
    handler->whenCommand = [&](HWND, int id) { commands += id; };
    HWND form = makeForm(namedForm(L"FormPump"), std::move(handler));
    ASSERT_NE(form, nullptr);
    PostMessageW(form, WM_COMMAND, 5, 0);
    PumpMessages();
    EXPECT_EQ(commands, 5);

    const ULONGLONG start = GetTickCount64();
    SetTimer(form, 1, 50, nullptr);
    PostMessageW(form, WM_COMMAND, 7, 0);
    WaitDispatching(300);
    KillTimer(form, 1);
    EXPECT_GE(GetTickCount64() - start, 290u);
    EXPECT_EQ(commands, 12);
    DestroyWindow(form);
}

}  // namespace
