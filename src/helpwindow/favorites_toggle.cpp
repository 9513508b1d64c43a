// The favorites button: adds the selected entry to the private library's favorites, or
// offers to take it off when it is one already.
#include "helpwindow/catalogue.h"

#include "helpwindow/catalogue_steps.h"
#include "library/fragment.h"
#include "library/schema.h"

namespace orv::helpwindow {

using namespace catalogue;
using library::MessageKind;
namespace tables = library::tables;

void Catalogue::ToggleFavorite() {
    ContentsTree& tree = s_.contents.tree();
    const std::vector<ItemId> selection = tree.selection();
    const library::TreeNode* record = selection.empty() ? nullptr : tree.record(selection.front());
    if (!record) return;
    const library::TreeNode node = *record;
    if (node.isCategory) {
        s_.prompter.message(text::kOnlyEntries, MessageKind::Error);
        return;
    }
    library::HostDb& db = dbOf(s_);
    const std::string where = "kID=" + num(node.id) + " And PriPub=" + num(node.lib);
    if (!db.findOnly(library::kPrivate, tables::Favorite, where, "kID", "").empty()) {
        if (!s_.prompter.ask(text::kAlreadyFavorite)) return;
        if (db.deleteItem(library::kPrivate, tables::Favorite, where) < 0)
            s_.prompter.message(library::failedAddMessage(db, library::kPrivate), MessageKind::Error);
        return;
    }
    library::Row entry;
    if (!db.findOne(node.lib, tables::KeywordList, "kID=" + num(node.id), entry, "DisplayKeyWord", "")) {
        // Gone since the tree showed it: a favorite of nothing would only offer itself for removal.
        s_.prompter.message("这个词条已经不存在了：" + std::string(libraryWord(node.lib)) + "的词条ID=" + num(node.id),
                            MessageKind::Error);
        return;
    }
    const std::string items = library::Assignments()
                                  .add("kID", node.id)
                                  .add("PriPub", node.lib)
                                  .add("nType", node.type)
                                  .addText("DisplayKeyWord", library::cellText(entry, 0))
                                  .str();
    if (db.addItemUtf(library::kPrivate, tables::Favorite, items) < 1) {
        s_.prompter.message(library::failedAddMessage(db, library::kPrivate), MessageKind::Error);
        return;
    }
    s_.prompter.message(text::kFavoriteAdded, MessageKind::Information);
}

}  // namespace orv::helpwindow
