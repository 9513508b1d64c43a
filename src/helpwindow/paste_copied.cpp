// Copy and paste in the contents tree: remembering the selected nodes, and copying them
// with everything below them under the target node, within a library or across the
// two, with the texts copied or shared.
#include "helpwindow/catalogue.h"

#include "helpwindow/catalogue_steps.h"
#include "library/descendants.h"
#include "library/fragment.h"
#include "library/schema.h"

#include <algorithm>
#include <set>
#include <utility>

namespace orv::helpwindow {

using namespace catalogue;
using library::MessageKind;
using library::TreeNode;
namespace tables = library::tables;
namespace joined = library::joined;

namespace {

// One item of the copy list: "r" or "k", the library digit, the id.
struct CopiedItem {
    bool category = false;
    int lib = 0;
    long long id = 0;
};

std::string copyItemText(const TreeNode& node) {
    return std::string(node.isCategory ? "r" : "k") + num(node.lib) + num(node.id);
}

std::vector<CopiedItem> readCopyList(const std::string& list) {
    std::vector<CopiedItem> items;
    for (std::string_view text : library::splitOutsideQuotes(list)) {
        if (text.size() < 3 || (text[0] != 'r' && text[0] != 'k') || (text[1] != '0' && text[1] != '1')) continue;
        items.push_back({text[0] == 'r', text[1] - '0', library::toInt(text.substr(2))});
    }
    return items;
}

// What one paste carries from item to item.
struct PasteRun {
    const CatalogueSources& s;
    library::HostDb& db;
    bool shared;
    int destLib;
    long long userId;
    long long date;
    // Categories already copied, by (library, dID): the sources and the copies made, so
    // that a category pasted into its own subtree meets its copy and stops there, and a
    // loop in a damaged tree is walked once.
    std::set<std::pair<int, long long>> visited;
    int step = 0;
};

void stepped(PasteRun& run) { run.s.progress.StepProgress(++run.step); }

void copyFailed(PasteRun& run, std::string_view what, const sync::SaveResult& saved) {
    if (saved.step == sync::SaveStep::Refused) return;  // the server check has told why
    if (saved.step == sync::SaveStep::NotApplied)
        run.s.prompter.message("复制" + std::string(what) + "出错，写入" + std::string(libraryWord(run.destLib)) +
                                   "的数据库失败",
                               MessageKind::Error);
    else
        reportFailedSave(run.s, saved);
}

bool copyEntry(PasteRun& run, int lib, long long id, long long dest);

bool copyCategory(PasteRun& run, int lib, long long id, long long dest) {
    library::Row row;
    if (!run.db.findOne(lib, tables::Directory, "dID=" + num(id), row, "*", "")) {
        run.s.prompter.message("复制分类出错，" + std::string(libraryWord(lib)) + "的分类ID=" + num(id) + "没找到",
                               MessageKind::Error);
        return false;
    }
    namespace dir = library::dir;
    const std::string& name = library::cellText(row, dir::DirName);
    const std::string body = library::Assignments()
                                 .add("ParentDir", dest)
                                 .addText("DirName", name)
                                 .addText("Description", library::cellText(row, dir::Description))
                                 .add("nType", library::cellNumber(row, dir::nType))
                                 .add("Sort", library::cellNumber(row, dir::Sort))
                                 .str();
    const sync::SaveResult saved = saveChange(
        run.s, run.destLib, {library::kNewCategory, 0, name, body, library::AddService::Utf8, run.userId}, run.date);
    if (!saved.saved()) {
        copyFailed(run, "分类", saved);
        return false;
    }
    const long long copy = saved.applied;
    run.visited.insert({lib, id});
    run.visited.insert({run.destLib, copy});
    stepped(run);

    library::ResultTable children;
    run.db.find(lib, tables::Directory, "ParentDir=" + num(id), children, "dID", "", 0);
    for (int i = 0; i < children.count(); ++i) {
        if (run.s.progress.stopRequested()) return false;
        const long long child = children.number(i, 0);
        if (run.visited.count({lib, child})) continue;
        if (!copyCategory(run, lib, child, copy)) return false;
    }
    // Member rows hang off entries: one whose owner's kID equals this dID is not ours.
    library::ResultTable entries;
    run.db.find(lib, tables::KeywordList, "nType<20 And dID=" + num(id), entries, "kID", "", 0);
    for (int i = 0; i < entries.count(); ++i) {
        if (run.s.progress.stopRequested()) return false;
        if (!copyEntry(run, lib, entries.number(i, 0), copy)) return false;
    }
    return true;
}

std::string entryDataItems(const library::Row& row) {
    const auto t = [&](int column) { return library::cellText(row, column); };
    return library::Assignments()
        .addText("KeyWord", t(joined::KeyWord))
        .addText("UKeyWord", t(joined::UKeyWord))
        .addText("Description", t(joined::Description))
        .addText("Explain", t(joined::Explain))
        .addText("Syntax", t(joined::Syntax))
        .addText("Member", t(joined::Member))
        .addText("Parameter", t(joined::Parameter))
        .addText("Examples", t(joined::Examples))
        .addText("Source", t(joined::Source))
        .addText("Related", t(joined::Related))
        .addText("Include", t(joined::Include))
        .add("Platform", library::cellNumber(row, joined::Platform))
        .add("Attribute", library::cellNumber(row, joined::Attribute))
        .add("nType", library::cellNumber(row, joined::data_nType))
        .str();
}

bool copyEntry(PasteRun& run, int lib, long long id, long long dest) {
    library::Row row;
    if (!run.db.findOne(lib, tables::ListAndData,
                        std::string(tables::JoinCondition) + " And KeywordList.kID=" + num(id), row, "*", "")) {
        run.s.prompter.message("复制词条出错，" + std::string(libraryWord(lib)) + "的词条ID=" + num(id) + "没找到",
                               MessageKind::Error);
        return false;
    }
    const std::string& keyWord = library::cellText(row, joined::KeyWord);
    const long long sID = library::cellNumber(row, joined::sID);
    const std::string list = library::Assignments()
                                 .add("dID", dest)
                                 .addText("DisplayKeyWord", library::cellText(row, joined::DisplayKeyWord))
                                 .add("nType", library::cellNumber(row, joined::nType))
                                 .add("Sort", library::cellNumber(row, joined::Sort))
                                 .str();
    const bool sharedHere = run.shared && lib == run.destLib;
    long long copy = 0;
    if (sharedHere && run.destLib == library::kPrivate) {
        // The private library keeps no log: the new row simply points at the same texts.
        copy = run.db.addItemUtf(library::kPrivate, tables::KeywordList, list + ",sID=" + num(sID));
        if (copy < 1) {
            run.s.prompter.message("复制词条出错，写入" + std::string(libraryWord(run.destLib)) + "的数据库失败",
                                   MessageKind::Error);
            return false;
        }
    } else {
        // A shared paste within the public library is recorded and submitted as what it
        // is, a further placement of the source entry's texts (code 3 on the source), so
        // that every copy of the library that replays it does the same.
        const sync::PublicChange change =
            sharedHere ? sync::PublicChange{library::kEntryChanged, id, keyWord, "dID2=0|" + num(dest),
                                            library::AddService::Utf8, run.userId}
                       : sync::PublicChange{library::kNewEntry, 0, keyWord, list + "," + entryDataItems(row),
                                            library::AddService::Utf8, run.userId};
        const sync::SaveResult saved = saveChange(run.s, run.destLib, change, run.date);
        if (!saved.saved()) {
            copyFailed(run, "词条", saved);
            return false;
        }
        copy = sharedHere ? library::toInt(run.db.findOnly(run.destLib, tables::KeywordList,
                                                           "sID=" + num(sID) + " And dID=" + num(dest), "kID",
                                                           "kID DESC"))
                          : saved.applied;
    }
    stepped(run);

    if (!library::canOwnMembers(static_cast<int>(library::cellNumber(row, joined::data_nType)))) return true;
    library::ResultTable members;
    run.db.find(lib, tables::KeywordList, "nType>19 And dID=" + num(id), members, "kID", "", 0);
    for (int i = 0; i < members.count(); ++i) {
        if (run.s.progress.stopRequested()) return false;
        if (!copyEntry(run, lib, members.number(i, 0), copy)) return false;
    }
    return true;
}

// The changes a paste will make: each item, each category below a category item, the
// entries of all those categories and the members of entries that own some (an entry
// item's own members included, since they are copied too).
long long changesOfPaste(library::HostDb& db, const std::vector<CopiedItem>& items) {
    long long total = 0;
    for (const CopiedItem& item : items) {
        ++total;
        if (!item.category) {
            const int type = static_cast<int>(
                library::toInt(db.findOnly(item.lib, tables::KeywordList, "kID=" + num(item.id), "nType", "")));
            if (library::canOwnMembers(type)) total += membersOf(db, item.lib, item.id);
            continue;
        }
        const std::string list = library::descendantList(db, item.lib, item.id);
        total += static_cast<long long>(library::splitOutsideQuotes(list).size()) - 1;
        total += entriesAndMembersIn(db, item.lib, list);
    }
    return total;
}

}  // namespace

void Catalogue::CopySelection() {
    copyList_.clear();
    const std::optional<std::vector<Selected>> nodes = takeSelection(s_.contents.tree(), s_.prompter);
    if (!nodes || nodes->empty()) return;
    if (const std::string_view label = refusedLabel(*nodes); !label.empty()) {
        s_.prompter.message(std::string(label) + std::string(text::kCannotCopy), MessageKind::Error);
        return;
    }
    std::string list;
    for (const Selected& n : *nodes) {
        if (!list.empty()) list += ',';
        list += copyItemText(n.node);
    }
    copyList_ = std::move(list);
}

void Catalogue::PasteCopied(bool shared) {
    // Only the first selected node counts, so a selection of any size will do.
    ContentsTree& tree = s_.contents.tree();
    const std::vector<ItemId> selection = tree.selection();
    const library::TreeNode* record = selection.empty() ? nullptr : tree.record(selection.front());
    if (!record || copyList_.empty()) return;
    const Selected target{selection.front(), *record, tree.text(selection.front())};
    if (s_.contents.insideRecycleBin(target.item)) {
        s_.prompter.message(text::kNotIntoBin, MessageKind::Error);
        return;
    }
    library::HostDb& db = dbOf(s_);
    const library::Settings& settings = settingsOf(s_);
    const std::vector<CopiedItem> items = readCopyList(copyList_);
    s_.progress.OpenProgress(text::kPasting, 0, static_cast<int>(items.size()), false);

    const TreeNode& t = target.node;
    // The bar runs over every row to copy, so the rows are counted for every paste; a
    // public paste must also fit in what the account may still change.
    s_.progress.SetProgressText(text::kCountingChanges);
    const long long changes = changesOfPaste(db, items);
    s_.progress.SetProgressText(text::kPasting);
    if (s_.progress.stopRequested()) {
        s_.progress.CloseProgress();
        return;
    }
    if (t.lib == library::kPublic && !settings.freeChanges()) {
        const int allowance = sync::TestLogin(s_.session, false);
        if (allowance < 1 || allowance < changes) {
            s_.progress.CloseProgress();
            if (allowance >= 1)
                s_.prompter.message("你的账号权限不够修改本次操作！\r\n本次操作产生：" + num(changes) +
                                        "条更新记录\r\n你的账号可用：" + num(allowance) + "条",
                                    MessageKind::Error);
            return;
        }
    }
    // The count is the bar's maximum.
    s_.progress.SetProgressRange(0, static_cast<int>(std::max(changes, 1LL)));

    // Beside an entry (a member's owner counts), at the private library's top level
    // for its root, into any other category.
    long long dest = t.id;
    int destLib = t.lib;
    if (isPrivateRoot(t)) {
        dest = 0;
    } else if (isMember(t)) {
        dest = library::toInt(db.findOnly(t.lib, tables::KeywordList, "kID=" + num(t.parentId), "dID", ""));
    } else if (!t.isCategory) {
        dest = t.parentId;
    }

    library::HostTransaction privateSide(db, library::kPrivate);
    library::HostTransaction publicSide(db, library::kPublic);
    long long userId = 0;
    if (!settings.user.empty())
        userId = library::toInt(db.findOnly(
            library::kPublic, tables::User, "uName=" + library::quoteText(library::recordedUserName(settings.user)),
            "uID", ""));
    PasteRun run{s_, db, shared, destLib, userId, nowOf(s_), {}, 0};
    for (const CopiedItem& item : items) {
        if (s_.progress.stopRequested()) break;
        const bool done = item.category ? copyCategory(run, item.lib, item.id, dest)
                                        : copyEntry(run, item.lib, item.id, dest);
        if (!done) break;
    }
    std::string commitError;
    if (!privateSide.commit()) commitError = db.errMsg(library::kPrivate);
    if (!publicSide.commit() && commitError.empty()) commitError = db.errMsg(library::kPublic);

    // The private root's row lives in the public library.
    const std::string link = isPrivateRoot(t) ? "r0" + num(t.id)
                             : t.isCategory  ? "r" + num(t.lib) + num(t.id)
                             : isMember(t)   ? "y" + num(t.lib) + num(t.id)
                                             : "k" + num(t.lib) + num(t.id);
    s_.links.OpenLink(link);
    copyList_.clear();
    s_.progress.CloseProgress();
    if (!commitError.empty()) s_.prompter.message(library::failedWriteMessage(commitError), MessageKind::Error);
}

}  // namespace orv::helpwindow
