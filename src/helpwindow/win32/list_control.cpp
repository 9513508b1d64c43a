// The result list over a list box: lines with records in the item data, kept in the
// core's order, at the line height of the design. Win32 only.
#include "helpwindow/win32/list_control.h"

#include "framework/control_kinds.h"
#include "framework/win32/screen_scale.h"
#include "text/win32/wide_text.h"

#include <new>
#include <stdexcept>

namespace orv::helpwindow {
namespace {

constexpr UINT_PTR kSubclassId = 0x4F4C;  // "OL"

}  // namespace

std::unique_ptr<ListControl> ListControl::Create(HWND form, framework::ControlOptions options, std::string& error) {
    if (options.kind.empty()) options.kind = "LISTBOX";
    if (options.style == framework::kDefaultStyle)
        if (const framework::ControlKind* kind = framework::FindControlKind(options.kind))
            options.style = kind->defaultStyle;
    // A sorting list box would put the lines in its own order, not the lookup's.
    if (options.style != framework::kDefaultStyle) options.style &= ~static_cast<std::uint32_t>(LBS_SORT);
    HWND window = framework::CreateControl(form, options, error);
    if (!window) return nullptr;
    std::unique_ptr<ListControl> control(new ListControl(window));
    if (!SetWindowSubclass(window, subclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(control.get()))) {
        control->window_ = nullptr;
        DestroyWindow(window);
        error = "SetWindowSubclass of the result list failed";
        return nullptr;
    }
    const int height = framework::ScreenScale().ScaleY(kListItemHeight);
    if (SendMessageW(window, LB_SETITEMHEIGHT, 0, height) == LB_ERR) {
        DestroyWindow(window);
        error = "LB_SETITEMHEIGHT failed";
        return nullptr;
    }
    return control;
}

ListControl::~ListControl() {
    if (HWND window = window_) {
        SendMessageW(window, LB_RESETCONTENT, 0, 0);
        RemoveWindowSubclass(window, subclassProc, kSubclassId);
    }
}

LRESULT CALLBACK ListControl::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR self) {
    if (message == WM_NCDESTROY) {
        auto* control = reinterpret_cast<ListControl*>(self);
        RemoveWindowSubclass(window, subclassProc, kSubclassId);
        control->window_ = nullptr;
        control->records_.clear();
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void ListControl::putLine(int index, std::string_view text, std::unique_ptr<library::TreeNode> record) {
    const std::wstring wide = text::utf8ToWide(text);
    const UINT message = index < 0 ? LB_ADDSTRING : LB_INSERTSTRING;
    const LRESULT at = SendMessageW(window_, message, index < 0 ? 0 : index, reinterpret_cast<LPARAM>(wide.c_str()));
    if (at == LB_ERRSPACE) throw std::bad_alloc();
    if (at < 0) throw std::runtime_error("the result list refused the line \"" + std::string(text) + "\"");
    if (!record) return;
    const library::TreeNode* key = record.get();
    try {
        records_.emplace(key, std::move(record));
    } catch (...) {
        SendMessageW(window_, LB_DELETESTRING, at, 0);
        throw;
    }
    SendMessageW(window_, LB_SETITEMDATA, at, reinterpret_cast<LPARAM>(key));
}

const library::TreeNode* ListControl::recordAt(int index) const {
    const LRESULT data = SendMessageW(window_, LB_GETITEMDATA, index, 0);
    if (data == LB_ERR || data == 0) return nullptr;
    const auto found = records_.find(reinterpret_cast<const library::TreeNode*>(data));
    return found == records_.end() ? nullptr : found->second.get();
}

void ListControl::clear() {
    if (!window_) return;
    SendMessageW(window_, LB_RESETCONTENT, 0, 0);
    records_.clear();
}

void ListControl::add(std::string_view text, std::unique_ptr<library::TreeNode> record) {
    if (!window_) return;
    putLine(-1, text, std::move(record));
}

void ListControl::addLines(std::vector<ResultLine> lines) {
    if (!window_) return;
    for (ResultLine& line : lines) putLine(-1, line.text, std::move(line.record));
}

void ListControl::insertFirst(std::string_view text) {
    if (!window_) return;
    putLine(0, text, nullptr);
}

void ListControl::remove(int index) {
    if (!window_) return;
    const library::TreeNode* record = recordAt(index);
    if (SendMessageW(window_, LB_DELETESTRING, index, 0) == LB_ERR) return;
    if (record) records_.erase(record);
}

void ListControl::select(int index) {
    // The list box tells nobody of a selection made by message.
    if (!window_) return;
    const int lines = static_cast<int>(SendMessageW(window_, LB_GETCOUNT, 0, 0));
    SendMessageW(window_, LB_SETCURSEL, index >= 0 && index < lines ? index : -1, 0);
}

int ListControl::selected() const {
    if (!window_) return -1;
    const LRESULT at = SendMessageW(window_, LB_GETCURSEL, 0, 0);
    return at == LB_ERR ? -1 : static_cast<int>(at);
}

int ListControl::count() const {
    if (!window_) return 0;
    const LRESULT lines = SendMessageW(window_, LB_GETCOUNT, 0, 0);
    return lines == LB_ERR ? 0 : static_cast<int>(lines);
}

std::string ListControl::text(int index) const {
    if (!window_) return {};
    const LRESULT length = SendMessageW(window_, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return {};
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(window_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
    if (copied == LB_ERR) return {};
    buffer.resize(static_cast<size_t>(copied));
    return text::wideToUtf8(buffer);
}

std::unique_ptr<library::TreeNode> ListControl::record(int index) const {
    if (!window_) return {};
    const library::TreeNode* found = recordAt(index);
    return found ? std::make_unique<library::TreeNode>(*found) : nullptr;
}

void ListControl::setRedraw(bool on) {
    if (!window_) return;
    SendMessageW(window_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on) InvalidateRect(window_, nullptr, TRUE);
}

}  // namespace orv::helpwindow
