// The result list of the index, search and favorites tabs on screen: a list box whose
// lines carry their records. Win32 only.
#pragma once

#include "framework/win32/controls.h"
#include "helpwindow/result_list.h"

#include <windows.h>

#include <memory>
#include <string>
#include <unordered_map>

namespace orv::helpwindow {

// A line's height at 96 dpi.
inline constexpr int kListItemHeight = 18;

// Used on the window's thread only, like the list box itself. A line the list box cannot
// take (out of memory) throws, so that the caller's guard tells of it instead of a line
// going missing.
class ListControl : public ResultList {
public:
    // Creates the list box on `form` (kind "LISTBOX" unless `options` names another); it
    // never sorts, the lines keep the order the core gives. Null with `error` saying
    // which step failed.
    static std::unique_ptr<ListControl> Create(HWND form, framework::ControlOptions options, std::string& error);
    ~ListControl() override;
    ListControl(const ListControl&) = delete;
    ListControl& operator=(const ListControl&) = delete;

    HWND window() const { return window_; }

    void clear() override;
    void add(std::string_view text, std::unique_ptr<library::TreeNode> record) override;
    void addLines(std::vector<ResultLine> lines) override;
    void insertFirst(std::string_view text) override;
    void remove(int index) override;
    void select(int index) override;
    int selected() const override;
    int count() const override;
    std::string text(int index) const override;
    std::unique_ptr<library::TreeNode> record(int index) const override;
    void setRedraw(bool on) override;

private:
    explicit ListControl(HWND window) : window_(window) {}
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    // On the window's thread: puts a line at `index` (-1: the end) with its record.
    void putLine(int index, std::string_view text, std::unique_ptr<library::TreeNode> record);
    const library::TreeNode* recordAt(int index) const;

    HWND window_ = nullptr;  // null once the window is gone
    // The records of the lines, each line's item data naming its own.
    std::unordered_map<const library::TreeNode*, std::unique_ptr<library::TreeNode>> records_;
};

}  // namespace orv::helpwindow
