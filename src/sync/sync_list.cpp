// The sync window's list, record details and record commands over the public library's
// change log; the window only wires these to its controls.
#include "sync/sync_list.h"

#include "library/change_log.h"
#include "library/fragment.h"
#include "library/schema.h"
#include "library/udate.h"
#include "render/category_trail.h"
#include "sync/pending_changes.h"
#include "sync/server_protocol.h"

namespace orv::sync {
namespace {

namespace col = library::change;
using library::kPublic;
using library::MessageKind;

void appendRows(library::HostDb& db, std::string_view where, std::vector<SyncRow>& rows) {
    library::ResultTable table;
    db.find(kPublic, library::tables::UpdateList, where, table, "*", "uDate DESC", kSyncListLimit);
    for (int i = 0; i < table.count(); ++i) {
        SyncRow row;
        row.lID = table.number(i, col::lID);
        row.state = table.number(i, col::sExecute);
        row.command = std::string(library::commandText(table.number(i, col::sCommand)));
        row.user = table.text(i, col::uName);
        row.date = syncListDate(table.number(i, col::uDate));
        row.name = table.text(i, col::sName);
        row.stateText = std::string(library::stateText(row.state));
        rows.push_back(std::move(row));
    }
}

// A (new or changed) entry's place in the detail line: the category path it is listed
// under, the name shown, and its page. A member lists under its owner's category, its
// name led by the owner's.
void describeEntry(library::HostDb& db, long long kID, const std::string& name, SyncDetail& detail,
                   std::string& place) {
    const std::string id = std::to_string(kID);
    library::Row entry;
    long long category = 0;
    std::string shown = name;
    detail.link = "k0" + id;
    if (db.findOne(kPublic, library::tables::KeywordList, "kID=" + id, entry, "dID,nType", "")) {
        category = library::cellNumber(entry, 0);
        const long long type = library::cellNumber(entry, 1);
        if (type == library::kEntryMember || type == library::kEntryEnumMember) {
            detail.link = "y0" + id;
            library::Row owner;
            const long long ownerID = category;
            category = 0;
            if (db.findOne(kPublic, library::tables::KeywordList, "kID=" + std::to_string(ownerID), owner,
                           "dID,DisplayKeyWord", "")) {
                category = library::cellNumber(owner, 0);
                shown = library::cellText(owner, 1) + "\\" + name;
            }
        }
    }
    place = render::CategoryPath(db, kPublic, category) + shown;
}

std::string joinIds(const std::vector<long long>& ids) {
    std::string list;
    for (const long long id : ids) {
        if (!list.empty()) list += ',';
        list += std::to_string(id);
    }
    return list;
}

}  // namespace

std::string syncListDate(long long uDate) {
    // "yyyy-mm-dd hh:mm:ss" without its seconds.
    return library::timestampText(library::localFromUDate(uDate)).substr(0, 16);
}

std::vector<SyncRow> ReadSyncList(library::HostDb& db) {
    std::vector<SyncRow> rows;
    appendRows(db, "sExecute=" + std::to_string(library::kStatePending), rows);
    appendRows(db, "sExecute<>" + std::to_string(library::kStatePending), rows);
    return rows;
}

SyncDetail DescribeRecord(library::HostDb& db, long long lID) {
    SyncDetail detail;
    library::Row record;
    if (!db.findOne(kPublic, library::tables::UpdateList, "lID=" + std::to_string(lID), record, "*", ""))
        return detail;
    detail.found = true;
    const long long code = library::cellNumber(record, col::sCommand);
    const long long target = library::cellNumber(record, col::tID);
    const std::string id = std::to_string(target);
    detail.text = std::string(library::commandText(code));
    switch (code) {
        case library::kNewCategory:
        case library::kCategoryChanged:
            detail.link = "r0" + id;
            detail.text += "，ID=" + id + "  " + render::CategoryPath(db, kPublic, target);
            break;
        case library::kNewEntry:
        case library::kEntryChanged: {
            std::string place;
            describeEntry(db, target, library::cellText(record, col::sName), detail, place);
            detail.text += "，ID=" + id + "  " + place;
            break;
        }
        case library::kDeleted:
            detail.text += "，父分类ID=" + id + "  " + render::CategoryPath(db, kPublic, target);
            break;
        case library::kMoved:
            detail.text += std::string(kMoveTargetLabel) + id + "  " + render::CategoryPath(db, kPublic, target);
            break;
        default:
            // An unknown command has no target to describe: its name and body say all.
            break;
    }
    const std::string& body = library::cellText(record, col::sText);
    if (!body.empty()) detail.text += "\r\n修改内容(sql命令)：\r\n" + body;
    return detail;
}

std::vector<bool> checkAllRows(const std::vector<SyncRow>& rows) { return std::vector<bool>(rows.size(), true); }

std::vector<bool> checkPendingRows(const std::vector<SyncRow>& rows) {
    std::vector<bool> checks;
    checks.reserve(rows.size());
    for (const SyncRow& row : rows) checks.push_back(row.stateText == library::kStateTexts[library::kStatePending]);
    return checks;
}

std::vector<bool> uncheckAllRows(const std::vector<SyncRow>& rows) { return std::vector<bool>(rows.size(), false); }

bool recordCommandsEnabled(const std::vector<bool>& checks) {
    for (const bool checked : checks)
        if (checked) return true;
    return false;
}

std::vector<long long> checkedRecords(const std::vector<SyncRow>& rows, const std::vector<bool>& checks) {
    std::vector<long long> ids;
    for (size_t i = 0; i < rows.size() && i < checks.size(); ++i)
        if (checks[i]) ids.push_back(rows[i].lID);
    return ids;
}

RecordCommandResult RunRecordCommand(library::HostDb& db, library::Prompter& prompter, RecordCommand command,
                                     const std::vector<long long>& lIDs) {
    RecordCommandResult result;
    const bool deleting = command == RecordCommand::Delete;
    if (lIDs.empty()) {
        prompter.message(deleting ? kNothingDeletedMessage : kNothingChangedMessage, MessageKind::Information);
        return result;
    }
    const std::string_view question = deleting ? "将要删除全部已经选择的记录吗？"
                                      : command == RecordCommand::Abandon
                                          ? "将要把已经选择的记录修改为【放弃】状态吗？"
                                          : "将要把已经选择的记录修改为【未更新】状态吗？";
    if (!prompter.ask(question)) return result;

    const std::string where = "lID in (" + joinIds(lIDs) + ")";
    const int state = command == RecordCommand::Abandon ? library::kStateAbandoned : library::kStatePending;
    const long long done = deleting ? db.deleteItem(kPublic, library::tables::UpdateList, where)
                                    : db.update(kPublic, library::tables::UpdateList, where,
                                                library::Assignments().add("sExecute", state).str());
    if (done < 0) {
        prompter.message(library::failedWriteMessage(db.errMsg(kPublic)), MessageKind::Error);
        return result;
    }
    result.wrote = true;
    result.changed = done;
    const std::string count = std::to_string(done);
    prompter.message(deleting ? "删除记录完成。被删除：" + count + " 条记录。"
                              : "更改记录完成。被更改：" + count + " 条记录。",
                     MessageKind::Information);
    return result;
}

bool UpdatePublicLibrary(library::HostDb& db, library::Prompter& prompter) {
    const ReplayResult replay = ApplyPendingChanges(db);
    if (replay.records == 0) {
        prompter.message(kNothingPendingMessage, MessageKind::Error);
        return false;
    }
    prompter.message("更新公共库完成。共有" + std::to_string(replay.records) + "条更新记录，成功更新：" +
                         std::to_string(replay.applied) + "条记录。",
                     MessageKind::Information);
    // The states listed afterwards may be wrong: say so rather than let them stand.
    if (!replay.saved) prompter.message(library::failedWriteMessage(replay.error), MessageKind::Error);
    return true;
}

std::string pendingCaption(library::HostDb& db) {
    return syncButtonCaption(db.count(kPublic, library::tables::UpdateList,
                                      "sExecute=" + std::to_string(library::kStatePending)));
}

std::string fetchDoneMessage(int added) { return "同步完成，新增条更新" + std::to_string(added) + "记录。"; }

int RunUpdateCheck(ServerSession& session, library::HostDb& db) {
    session.progress.OpenProgress(kCheckingText, 0, 100, true);
    const FetchOutcome outcome = CheckForUpdates(session, db);
    session.progress.CloseProgress();
    if (!outcome.problem.empty()) {
        session.prompter.message(outcome.problem, MessageKind::Error);
        return 0;
    }
    session.prompter.message(fetchDoneMessage(outcome.added), MessageKind::Information);
    return outcome.added;
}

}  // namespace orv::sync
