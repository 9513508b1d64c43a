// The public library's change log: record codes and states, the one writer of change
// records, and ApplyChange, which carries out a recorded change on a library.
#pragma once

#include "library/host_db.h"

#include <array>
#include <string>
#include <string_view>

namespace orv::library {

// UpdateList.sCommand.
enum ChangeCode : int {
    kNewCategory = 0, kCategoryChanged = 1, kNewEntry = 2, kEntryChanged = 3,
    kDeleted = 4,  // moved into the recycle bin
    kMoved = 5
};
// UpdateList.sExecute.
enum ChangeState : int {
    kStatePending = 0,      // fetched, or set back by the user; not applied here yet
    kStateNotUploaded = 1,  // shown only; nothing sets it
    kStateApplied = 2,      // every local change is recorded in this state
    kStateFailed = 3,
    kStateAbandoned = 4
};

// What lists show for a command code (index = code) and for a state (index = state).
inline constexpr std::array<std::string_view, 6> kCommandTexts{
    "新增分类", "修改分类", "新增词条", "修改词条", "删除", "移动位置"};
inline constexpr std::string_view kUnknownCommandText = "未知";
inline constexpr std::array<std::string_view, 5> kStateTexts{
    "🔄未更新", "⏹未上传", "✔成功", "❌失败", "🚫放弃"};

std::string_view commandText(long long code);
// Any state outside the table reads as abandoned.
std::string_view stateText(long long state);

// An entry's assignment list sorted by table: KeywordList items, KeywordData items and
// further placements (dID2 to dID5). sID and nType belong to both tables.
struct SplitParts {
    std::string list;
    std::string data;
    std::string placements;
};
SplitParts SplitAssignments(std::string_view text);

// Creates ("0|dID"), moves ("kID|dID") or removes ("kID|0") further placements of the
// entry whose texts are row `sID`. Only rows that share that sID are moved or removed.
// False when any of its writes failed.
bool ApplyPlacements(HostDb& db, int lib, long long sID, std::string_view placements);

// The body of a delete (code 4) or move (code 5) record.
struct MoveDescription {
    long long source = 0;    // category the nodes were taken from
    long long target = 0;    // category they went to (the recycle bin for a delete)
    std::string categories;  // "9,12" (may be empty)
    std::string entries;     // "40,41" (may be empty)
};
// "原分类ID=(5)目标分类ID=(7)被删分类=(9)被删词条=(40,41)" for kDeleted, with "被移" for kMoved.
std::string moveDescriptionText(ChangeCode code, const MoveDescription& move);
// Reads a description written by moveDescriptionText for that code. Anything else (other
// markers, text around them, ids that are not whole numbers) is refused.
bool parseMoveDescription(std::string_view body, long long code, MoveDescription& out);

// Carries out the change `code` with `body` on library `lib` and registers the author
// (uID > 0 with a name) in the public User table. Result: the new dID for code 0, the new
// kID for code 2 (also stored in `target`), 1 for codes 1, 3, 4, 5 when done; 0 when
// nothing was done. A body that is not a well-formed list over the code's tables (or a
// move description with whole-number ids only) is refused before the library is touched.
long long ApplyChange(HostDb& db, int lib, long long code, long long& target, std::string_view body,
                      long long uID, std::string_view uName, long long date);

// One local change, as its writer describes it; every text is plain (the record's
// fragment quotes them).
struct ChangeRecord {
    long long target = 0;
    std::string userName;
    int code = 0;
    std::string name;
    std::string body;
    long long date = 0;
};

// The editors and paste write through the UTF-8 add service, delete and move through the
// UTF-16 one; the stored text is the same.
enum class AddService { Utf8, Utf16 };

// The name a record carries for an account: "澄岭9" is recorded as "澄岭".
std::string recordedUserName(std::string_view accountName);
// "tID=…,uName='…',sCommand=…,sName='…',sText='…',sExecute=2,uDate=…"
std::string changeRecordAssignments(const ChangeRecord& record);
// Adds the record to the public library's UpdateList; the new lID, below 1 on failure.
long long writeChangeRecord(HostDb& db, const ChangeRecord& record, AddService service);

}  // namespace orv::library
