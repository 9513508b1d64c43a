// RenderPage: builds the page of a record and shows it.
#include "render/page_renderer.h"

#include "library/schema.h"
#include "text/markup.h"

namespace orv::render {

std::string pageAuthor(library::HostDb& db, long long uID) {
    if (uID == 0) return {};
    return db.findOnly(library::kPublic, library::tables::User, "uID=" + std::to_string(uID), "uName", "");
}

Marking markingFrom(const SearchState& search) {
    if (!search.searchTabActive()) return {};
    const std::string word = search.searchText();
    if (word.empty()) return {};
    // What the user typed is text on the page, never markup of it.
    return {word, "<span class=\"highlight\">" + text::escapeHtml(word) + "</span>"};
}

bool PageRenderer::RenderPage(const library::TreeNode& record) {
    // Folder pages are never marked.
    const std::optional<Page> page = record.isCategory ? buildFolderPage(sources_, record)
                                                       : buildKeywordPage(sources_, record, markingFrom(search_));
    if (!page) return false;
    history_.AddHistory(page->link);
    view_.LoadHtml(page->html);
    return true;
}

}  // namespace orv::render
