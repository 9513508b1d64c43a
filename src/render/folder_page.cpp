// The folder page: a category's trail, name and description, and panels listing its
// sub-categories and entries, filled into view\folder.htm.
#include "library/schema.h"
#include "render/category_trail.h"
#include "render/page_renderer.h"
#include "render/page_text.h"

namespace orv::render {

namespace dir = library::dir;
using library::Row;
using library::cellNumber;
using library::cellText;

namespace {

constexpr int kEntryLimit = 99;

std::string panelOpen(std::string_view title) {
    return "<br><div class=\"panel\"><div class=\"panel-head\"><strong>" + std::string(title) +
           "</strong></div><div class=\"panel-body\"><table style=\"width:0%;\" class=\"table table-condensed "
           "table-bordered\">";
}
constexpr std::string_view kPanelClose = "</table></div></div>";

std::string categoryLink(int lib, const library::ResultTable& t, int i) {
    return "<a target=\"_blank\" href=\"r" + std::to_string(lib) + t.text(i, 0) + "\">" + t.text(i, 1) + "</a>";
}

// Three sub-categories to a table row.
std::string subCategoryPanel(library::HostDb& db, int lib, long long parent) {
    library::ResultTable t;
    const int n = db.find(lib, library::tables::Directory,
                          "nType<>" + std::to_string(library::kCategoryRecycleBin) + " and ParentDir=" + std::to_string(parent),
                          t, "dID,DirName", "Sort", 0);
    if (n < 1) return {};
    std::string html = panelOpen("子分类");
    for (int i = 0; i < n; i += 3) {
        html += "<tr><td class=\"text-sub\">" + categoryLink(lib, t, i) + "</td><td class=\"text-sub\">";
        if (i + 1 < n) html += categoryLink(lib, t, i + 1);
        html += "</td><td class=\"text-sub\">";
        if (i + 2 < n) html += categoryLink(lib, t, i + 2);
        html += "</td></tr>";
    }
    return html + std::string(kPanelClose);
}

std::string entryPanel(library::HostDb& db, int lib, long long parent) {
    const std::string where = std::string(library::tables::JoinCondition) +
                              " And KeywordList.nType<20 And KeywordList.dID=" + std::to_string(parent);
    library::ResultTable t;
    const int read = db.find(lib, library::tables::ListAndData, where, t,
                             "KeywordList.kID,KeywordList.DisplayKeyWord,KeywordData.Description", "Sort", kEntryLimit);
    if (read < 1) return {};
    const long long total = db.count(lib, library::tables::ListAndData, where);
    std::string html = panelOpen("词条");
    for (int i = 0; i < read; ++i)
        html += "<tr><td class=\"text-sub\"><a target=\"_blank\" href=\"k" + std::to_string(lib) + t.text(i, 0) + "\">" +
                t.text(i, 1) + "</a></td><td>" + t.text(i, 2) + "</td></tr>";
    html += kPanelClose;
    if (total > read) html += ".......下面还有" + std::to_string(total - read) + "篇被省略<br>";
    return html;
}

}  // namespace

std::optional<Page> buildFolderPage(const PageSources& s, const library::TreeNode& record) {
    const int rowLib = (record.lib == library::kPublic || record.type == library::kCategoryPrivateRoot)
                           ? library::kPublic : library::kPrivate;
    Row row;
    if (!s.db.findOne(rowLib, library::tables::Directory, "dID=" + std::to_string(record.id), row, "*", ""))
        return std::nullopt;
    // Navigation builds its records with type 0, so "r0" + the root's dID (the link that
    // private trails and the history carry) is known for the private root by its row.
    const bool privateRoot = record.type == library::kCategoryPrivateRoot ||
                             (rowLib == library::kPublic && cellNumber(row, dir::nType) == library::kCategoryPrivateRoot);
    std::string description = cellText(row, dir::Description);
    if (description.empty() && !s.classified) return std::nullopt;

    std::string page = LoadTemplate(s.ideFolder, "view\\folder.htm");
    const std::string trail =
        privateRoot ? std::string() : BuildCategoryTrail(s.db, record.lib, "", cellNumber(row, dir::ParentDir));
    page = replaceAll(page, "href=\"pui/", "href=\"view/pui/");
    page = replaceAll(page, "src=\"pui/", "src=\"view/pui/");
    page = replaceAll(page, "<!-- Contents -->", trail);
    page = replaceAll(page, "<!-- DisplayKeyWord -->", cellText(row, dir::DirName));
    if (s.classified) {
        const int listLib = privateRoot ? library::kPrivate : record.lib;
        const long long parent = privateRoot ? 0 : record.id;
        description += subCategoryPanel(s.db, listLib, parent);
        description += entryPanel(s.db, listLib, parent);
    }
    if (description.empty()) return std::nullopt;
    page = replaceAll(page, "<!-- Description -->", description);
    page = replaceAll(page, "<!-- date -->", dateText(cellNumber(row, dir::uDate)));
    page = replaceAll(page, "<!-- User -->", pageAuthor(s.db, cellNumber(row, dir::uID)));
    const std::string link = privateRoot ? "r0" + std::to_string(record.id)
                                         : "r" + std::to_string(record.lib) + std::to_string(record.id);
    return Page{WithoutEscapeTags(page), link};
}

}  // namespace orv::render
