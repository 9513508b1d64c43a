// The catalogue commands' shared steps: taking the selection, the nodes no command
// may touch, counting what categories hold, and saving into either library.
#include "helpwindow/catalogue.h"

#include "helpwindow/catalogue_steps.h"
#include "library/schema.h"
#include "library/udate.h"

#include <algorithm>
#include <set>

namespace orv::helpwindow {

Catalogue::Catalogue(CatalogueSources sources) : s_(sources) {}

namespace catalogue {

using library::TreeNode;
namespace tables = library::tables;

library::HostDb& dbOf(const CatalogueSources& s) { return s.contents.sources().db; }
const library::Settings& settingsOf(const CatalogueSources& s) { return s.contents.sources().settings; }
long long nowOf(const CatalogueSources& s) {
    const Clock& now = s.contents.sources().now;
    return now ? now() : library::uDateNow();
}

std::string num(long long value) { return std::to_string(value); }

std::string joinIds(const std::vector<long long>& ids) {
    std::string out;
    for (long long id : ids) {
        if (!out.empty()) out += ',';
        out += num(id);
    }
    return out;
}

std::string tooManySelectedMessage(size_t selected) {
    return "一次最多只能处理" + num(static_cast<long long>(kMaxSelection)) + "个节点，现在选择了" +
           num(static_cast<long long>(selected)) + "个，请分批操作。";
}

std::string mixedLibrariesMessage() { return "选择的节点分属公用库和私用库，请分开操作。"; }

std::optional<std::vector<Selected>> takeSelection(ContentsTree& tree, library::Prompter& prompter) {
    std::vector<Selected> nodes;
    for (ItemId item : tree.selection()) {
        const TreeNode* record = tree.record(item);
        if (record) nodes.push_back({item, *record, tree.text(item)});
    }
    if (nodes.size() > kMaxSelection) {
        prompter.message(tooManySelectedMessage(nodes.size()), library::MessageKind::Error);
        return std::nullopt;
    }
    return nodes;
}

bool isPrivateRoot(const TreeNode& node) { return node.isCategory && node.type == library::kCategoryPrivateRoot; }
bool isRecycleBin(const TreeNode& node) { return node.isCategory && node.type == library::kCategoryRecycleBin; }
bool isMember(const TreeNode& node) { return !node.isCategory && node.type >= library::kFirstMemberType; }

std::string_view refusedLabel(const std::vector<Selected>& nodes) {
    for (const Selected& s : nodes) {
        if (isPrivateRoot(s.node)) return text::kPrivateRoot;
        if (isRecycleBin(s.node)) return text::kRecycleBin;
    }
    return {};
}

bool spansLibraries(const std::vector<Selected>& nodes) {
    for (const Selected& s : nodes)
        if (s.node.lib != nodes.front().node.lib) return true;
    return false;
}

std::string_view libraryWord(int lib) { return lib == library::kPublic ? text::kPublicWord : text::kPrivateWord; }

long long membersOf(library::HostDb& db, int lib, long long kID) {
    return db.count(lib, tables::KeywordList, "nType>19 And  dID=" + num(kID));
}

long long entriesAndMembersIn(library::HostDb& db, int lib, const std::string& list) {
    const std::string in = "dID in (" + list + ") ";
    long long total = db.count(lib, tables::KeywordList, "nType<20 And " + in);
    library::ResultTable owners;
    db.find(lib, tables::KeywordList, "nType in (5,7,8) And (" + in + ")", owners, "kID", "", 0);
    for (int i = 0; i < owners.count(); ++i) total += membersOf(db, lib, owners.number(i, 0));
    return total;
}

std::vector<ItemId> outermostItems(const ContentsTree& tree, const std::vector<ItemId>& items) {
    const std::set<ItemId> all(items.begin(), items.end());
    std::vector<ItemId> out;
    for (ItemId item : items) {
        bool inside = false;
        for (ItemId above = tree.parent(item); above != kNoItem && !inside; above = tree.parent(above))
            inside = all.count(above) != 0;
        if (!inside && std::find(out.begin(), out.end(), item) == out.end()) out.push_back(item);
    }
    return out;
}

sync::SaveResult saveChange(const CatalogueSources& s, int lib, const sync::PublicChange& change, long long date) {
    return sync::SaveIntoLibrary(s.session, dbOf(s), lib, change, date);
}

void reportFailedSave(const CatalogueSources& s, const sync::SaveResult& result) {
    sync::reportFailedSave(s.prompter, result);
}

}  // namespace catalogue
}  // namespace orv::helpwindow
