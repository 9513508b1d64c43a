// The query result window: a report list serves as the grid, its header holding the
// column names. Win32 only; every message runs inside the form layer's guard.
#include "tools/win32/query_window.h"

#include "framework/win32/controls.h"
#include "framework/win32/form.h"
#include "framework/win32/list_view.h"
#include "framework/win32/message_box_prompter.h"
#include "framework/win32/screen_scale.h"
#include "text/win32/wide_text.h"

#include <commctrl.h>

#include <memory>

namespace orv::tools {
namespace {

HWND g_query = nullptr;

constexpr int kWidth = 647;
constexpr int kHeight = 454;
constexpr int kColumnWidth = 100;  // 96-dpi units, until the user drags a column wider

class QueryWindow : public framework::FormHandler {
public:
    bool onMessage(HWND form, UINT message, WPARAM, LPARAM, LRESULT&) override {
        if (message == WM_CREATE) {
            grid_ = framework::PlaceControl(form, "LISTVIEW", L"mCtrlGrid1", kQueryGridId, "", {6, 5, 621, 406},
                                            WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS);
            SendMessageW(grid_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                         LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER | LVS_EX_HEADERDRAGDROP);
        }
        return false;
    }

    // The grid keeps its margins as the window is sized.
    void onLayout(HWND form, int width, int height) override {
        if (IsIconic(form) || width <= 0 || height <= 0) return;
        const framework::DpiScale& scale = framework::ScreenScale();
        framework::MoveControl(grid_, 6, 5, scale.UnscaleX(width) - 12, scale.UnscaleY(height) - 10);
    }

    void onDestroy(HWND form) override {
        if (g_query == form) g_query = nullptr;
    }

    // Columns × rows of the result, the column names in the header.
    void show(HWND form, const SqlResult& result) {
        SetWindowTextW(form, text::utf8ToWide(result.caption).c_str());
        SendMessageW(grid_, WM_SETREDRAW, FALSE, 0);
        SendMessageW(grid_, LVM_DELETEALLITEMS, 0, 0);
        std::vector<framework::ListColumn> columns;
        for (const std::string& name : result.rows.columns) columns.push_back({name, kColumnWidth});
        const bool made = framework::SetListColumns(grid_, columns);
        bool filled = made;
        for (const library::Row& row : result.rows.rows)
            if (filled && framework::AddListRow(grid_, row) < 0) filled = false;
        SendMessageW(grid_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(grid_, nullptr, TRUE);
        if (!filled)
            framework::MessageBoxPrompter(form).message("查询结果未能全部显示：列表无法容纳更多的行。",
                                                        library::MessageKind::Error);
    }

private:
    HWND grid_ = nullptr;
};

}  // namespace

bool showQueryResult(HWND owner, const SqlResult& result) {
    if (!framework::BringFormForward(g_query)) {
        framework::FormOptions options;
        options.name = L"Form查询";
        options.className = kQueryWindowClass;
        options.caption = L"查询结果";
        options.owner = owner;
        options.width = kWidth;
        options.height = kHeight;
        options.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
        options.font = "Microsoft YaHei,9,0";
        g_query = framework::CreateFittedForm(options, std::make_unique<QueryWindow>(), "无法打开查询结果窗口：");
        if (!g_query) return false;
        framework::ShowForm(g_query);
    }
    static_cast<QueryWindow*>(framework::FormHandlerOf(g_query))->show(g_query, result);
    return true;
}

HWND queryWindow() { return g_query; }

}  // namespace orv::tools
