// The categories the chooser offers and what a choice writes.
#include "editors/category_chooser.h"

#include "editors/entry_editor.h"
#include "library/schema.h"
#include "text/markup.h"

#include <map>
#include <set>

namespace orv::editors {
namespace {

std::string_view libraryWord(int lib) { return lib == library::kPrivate ? "私库" : "公库"; }

using Children = std::map<long long, std::vector<ChooserNode>>;

void attach(std::vector<ChooserNode>& level, Children& children, std::set<long long>& placed) {
    for (ChooserNode& node : level) {
        if (!placed.insert(node.dID).second) continue;
        auto below = children.find(node.dID);
        if (below == children.end()) continue;
        node.children = std::move(below->second);
        children.erase(below);
        attach(node.children, children, placed);
    }
}

}  // namespace

std::string chooserCaption(int lib) { return "选择" + std::string(libraryWord(lib)) + "分类"; }

std::string chooserTopText(int lib) { return "...[" + std::string(libraryWord(lib)) + "首目录]..."; }

std::vector<ChooserNode> ChooserTree(library::HostDb& db, int lib) {
    // One read of the whole table: a level per query would cost a request per category.
    library::ResultTable rows;
    db.find(lib, library::tables::Directory,
            "nType<>" + std::to_string(library::kCategoryRecycleBin) + " And nType<>" +
                std::to_string(library::kCategoryPrivateRoot),
            rows, "dID,DirName,nType,ParentDir", "Sort,DirName", 0);
    Children children;
    for (int i = 0; i < rows.count(); ++i)
        children[rows.number(i, 3)].push_back({rows.number(i, 0), rows.text(i, 1), static_cast<int>(rows.number(i, 2)), {}});
    std::vector<ChooserNode> top = std::move(children[0]);
    children.erase(0);
    std::set<long long> placed;
    attach(top, children, placed);
    // What is left hangs below a bin, the private root or a missing category.
    return top;
}

std::string slotScript(library::HostDb& db, int lib, int slot, long long dID) {
    return "$(\"#DirID" + std::to_string(slot) + "\").val(" + text::jsStringLiteral(slotFieldText(db, lib, dID)) + ");";
}

}  // namespace orv::editors
