// The result list of the index, search and favorites tabs (List1) as the core sees it:
// lines with an optional tree-node record each. The Win32 window fills a list box; the
// tests and orvhelp use MemoryList.
#pragma once

#include "library/tree_node.h"

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace orv::helpwindow {

// A line with its record (none for a notice line).
struct ResultLine {
    std::string text;
    std::unique_ptr<library::TreeNode> record;
};

class ResultList {
public:
    virtual ~ResultList() = default;
    // Removes every line, freeing the records.
    virtual void clear() = 0;
    // Appends a line; the list owns the record (none for a notice line).
    virtual void add(std::string_view text, std::unique_ptr<library::TreeNode> record) = 0;
    // Appends lines in their order; a list that takes them in one go does so (the list
    // box: one trip to the window's thread instead of one per line).
    virtual void addLines(std::vector<ResultLine> lines) {
        for (ResultLine& line : lines) add(line.text, std::move(line.record));
    }
    // Puts a notice line (no record) first.
    virtual void insertFirst(std::string_view text) = 0;
    virtual void remove(int index) = 0;
    // Selects a line (-1: none) without telling anyone.
    virtual void select(int index) = 0;
    virtual int selected() const = 0;
    virtual int count() const = 0;
    virtual std::string text(int index) const = 0;
    // A copy of the line's record; nothing for a notice line or an index out of range.
    virtual std::unique_ptr<library::TreeNode> record(int index) const = 0;
    // Off while a routine refills the list, so the control does not repaint every line.
    virtual void setRedraw(bool on) = 0;
};

// The list in memory. Lookups fill it from worker threads, as they fill the list box
// through its messages, so every call takes its lock.
class MemoryList : public ResultList {
public:
    void clear() override;
    void add(std::string_view text, std::unique_ptr<library::TreeNode> record) override;
    void insertFirst(std::string_view text) override;
    void remove(int index) override;
    void select(int index) override;
    int selected() const override;
    int count() const override;
    std::string text(int index) const override;
    std::unique_ptr<library::TreeNode> record(int index) const override;
    void setRedraw(bool on) override;
    bool redrawing() const;

private:
    struct Line {
        std::string text;
        std::unique_ptr<library::TreeNode> record;
    };
    mutable std::mutex mutex_;
    std::vector<Line> lines_;
    int selected_ = -1;
    bool redraw_ = true;
};

}  // namespace orv::helpwindow
