// RenderPage: the page of a tree-node record, built from the libraries and a template
// of the view folder, recorded in the history and handed to the browser.
#pragma once

#include "library/host_db.h"
#include "library/tree_node.h"
#include "render/history.h"

#include <optional>
#include <string>

namespace orv::render {

// Search-word marking: on only while the help window's search tab is active, with the
// search box's text. The window layer answers for its own controls.
class SearchState {
public:
    virtual ~SearchState() = default;
    virtual bool searchTabActive() const = 0;
    virtual std::string searchText() const = 0;
};

// The browser pane: loads a UTF-8 page (empty text shows the empty document).
class PageView {
public:
    virtual ~PageView() = default;
    virtual void LoadHtml(const std::string& utf8) = 0;
};

// What a page is made from besides the record.
struct PageSources {
    library::HostDb& db;
    std::string ideFolder;  // where view\keyword.htm and view\folder.htm are
    bool classified = true; // the list option: category pages list their contents
};

// A page and the link the history records for it.
struct Page {
    std::string html;
    std::string link;
};

// The search word and its marker, when marking is on.
struct Marking {
    std::string word;
    std::string marker;
    bool on() const { return !word.empty(); }
};
Marking markingFrom(const SearchState& search);

// The account name of the user who last changed a row ("" for uID 0 or an unknown user).
std::string pageAuthor(library::HostDb& db, long long uID);

// The keyword page of an entry (record.isCategory false); nothing when the entry is gone.
std::optional<Page> buildKeywordPage(const PageSources& sources, const library::TreeNode& record,
                                     const Marking& marking);
// The folder page of a category; nothing when the category is gone or has nothing to show.
std::optional<Page> buildFolderPage(const PageSources& sources, const library::TreeNode& record);

class PageRenderer {
public:
    PageRenderer(PageSources sources, NavigationHistory& history, PageView& view, const SearchState& search)
        : sources_(std::move(sources)), history_(history), view_(view), search_(search) {}

    // Shows the page of the record; returns false when nothing was shown.
    bool RenderPage(const library::TreeNode& record);

    PageSources& sources() { return sources_; }

private:
    PageSources sources_;
    NavigationHistory& history_;
    PageView& view_;
    const SearchState& search_;
};

}  // namespace orv::render
