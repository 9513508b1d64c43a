// The result list control: lines with records in the core's order, notices put first,
// quiet selection, line height by the screen's dpi, and filling from a worker thread.
#include "forms/forms_support.h"
#include "framework/win32/form.h"
#include "framework/win32/screen_scale.h"
#include "helpwindow/win32/list_control.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace orv::controls_test {
namespace {

using helpwindow::ListControl;

// Counts the list's selection notices that reach the form.
struct ListForm : framework::FormHandler {
    int selectionNotices = 0;
    void onCommand(HWND, int, int code, HWND) override {
        if (code == LBN_SELCHANGE) ++selectionNotices;
    }
};

class ListFixture : public ::testing::Test {
protected:
    void SetUp() override {
        auto handler = std::make_unique<ListForm>();
        notices = handler.get();
        framework::FormOptions options;
        options.name = L"ListForm";
        options.width = 240;
        options.height = 300;
        form = forms_test::makeForm(options, std::move(handler));
        ASSERT_NE(form, nullptr);
        framework::ControlOptions control;
        control.name = L"List1";
        control.id = 118;
        control.x = 5;
        control.y = 5;
        control.width = 220;
        control.height = 260;
        control.font = "Microsoft YaHei,9,0";
        std::string error;
        list = ListControl::Create(form, control, error);
        ASSERT_NE(list, nullptr) << error;
    }
    void TearDown() override {
        list.reset();
        if (form && IsWindow(form)) DestroyWindow(form);
    }
    static std::unique_ptr<library::TreeNode> node(long long id, const std::string& name) {
        auto record = std::make_unique<library::TreeNode>();
        record->id = id;
        record->name = name;
        record->lib = 1;
        return record;
    }
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        for (int i = 0; i < list->count(); ++i) out.push_back(list->text(i));
        return out;
    }

    HWND form = nullptr;
    ListForm* notices = nullptr;
    std::unique_ptr<ListControl> list;
};

TEST_F(ListFixture, LinesKeepTheCoresOrderAndCarryCopiesOfTheirRecords) {
    list->add("Print", node(3, "Print"));
    list->add("Abs", node(1, "Abs"));
    list->add("中文词条", node(2, "中文词条"));
    list->insertFirst("...奇怪，什么也没找到...");
    EXPECT_EQ(lines(), (std::vector<std::string>{"...奇怪，什么也没找到...", "Print", "Abs", "中文词条"}))
        << "no sorting";
    EXPECT_EQ(list->record(0), nullptr) << "a notice has no record";
    ASSERT_NE(list->record(3), nullptr);
    EXPECT_EQ(list->record(3)->id, 2);
    EXPECT_EQ(list->record(3)->name, "中文词条");
    EXPECT_EQ(list->record(3)->lib, 1);
    EXPECT_EQ(list->record(9), nullptr);
    EXPECT_EQ(list->record(-1), nullptr);

    // A copy: changing it leaves the line's own record alone.
    list->record(1)->id = 99;
    EXPECT_EQ(list->record(1)->id, 3);

    list->remove(1);
    EXPECT_EQ(lines(), (std::vector<std::string>{"...奇怪，什么也没找到...", "Abs", "中文词条"}));
    EXPECT_EQ(list->record(1)->id, 1);
    list->clear();
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(list->record(0), nullptr);
}

TEST_F(ListFixture, SelectingByProgramTellsNobodyAndFollowsInsertedNotices) {
    for (int i = 0; i < 5; ++i) list->add("line" + std::to_string(i), node(i, "x"));
    list->select(2);
    EXPECT_EQ(list->selected(), 2);
    list->insertFirst("notice");
    EXPECT_EQ(list->selected(), 3) << "the selected line moves down with the notice";
    list->select(40);
    EXPECT_EQ(list->selected(), -1);
    list->select(-1);
    EXPECT_EQ(list->selected(), -1);
    forms_test::dispatchUntil([] { return false; }, 50);
    EXPECT_EQ(notices->selectionNotices, 0);
}

TEST_F(ListFixture, LinesAreEighteenDesignUnitsHighAndTheListNeverSorts) {
    const LRESULT height = SendMessageW(list->window(), LB_GETITEMHEIGHT, 0, 0);
    EXPECT_EQ(height, framework::ScreenScale().ScaleY(helpwindow::kListItemHeight));
    EXPECT_EQ(GetWindowLongW(list->window(), GWL_STYLE) & LBS_SORT, 0);
}

TEST_F(ListFixture, AWorkerFillsTheListThroughTheWindowsThread) {
    list->add("old", node(1, "old"));
    std::atomic<bool> done{false};
    int countSeen = -1;
    std::thread worker([&] {
        list->setRedraw(false);
        list->clear();
        for (int i = 0; i < 300; ++i) list->add("w" + std::to_string(i), node(i, "w"));
        list->insertFirst("head");
        list->select(1);
        list->setRedraw(true);
        countSeen = list->count();
        done = true;
    });
    const bool finished = forms_test::dispatchUntil([&] { return done.load(); }, 10000);
    worker.join();
    ASSERT_TRUE(finished) << "the worker was left waiting";
    EXPECT_EQ(countSeen, 301);
    EXPECT_EQ(list->text(0), "head");
    EXPECT_EQ(list->text(300), "w299");
    EXPECT_EQ(list->record(300)->id, 299);
    EXPECT_EQ(list->selected(), 1);
}

}  // namespace
}  // namespace orv::controls_test
