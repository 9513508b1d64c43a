// The sync window's core: its list of change records, the detail text of a record, the
// check-box rules, the record commands (delete, abandon, set back) and its captions.
#pragma once

#include "library/host_db.h"
#include "library/prompt.h"
#include "sync/server_protocol.h"

#include <string>
#include <string_view>
#include <vector>

namespace orv::sync {

// Records of each kind (pending, the others) the list shows at most.
inline constexpr int kSyncListLimit = 300;

inline constexpr std::string_view kSyncHelpText =
    "当网络上有更新，会自动把记录保存到这里，显示为：未更新\r\n点击【未更新】按钮，然后点【更新】就可以同步更新 \r\n"
    "别人更改过公共库后，需要自己审核，有选择的同步更新。 \r\n"
    "注意：上面列表最多显示 300条记录，太多记录，可以删除一些记录。 ";

// The moved-to category stored in a move record's tID: a source label would mislead.
inline constexpr std::string_view kMoveTargetLabel = "，目标分类ID=";

inline constexpr std::string_view kNothingDeletedMessage = "没有选择任何记录，因此没有任何记录被删除。";
inline constexpr std::string_view kNothingChangedMessage = "没有选择任何记录，因此没有任何记录被修改。";
inline constexpr std::string_view kNothingPendingMessage = "没有【未更新】状态的记录";

// One row of the list: the five column texts and the record behind them.
struct SyncRow {
    long long lID = 0;
    long long state = 0;  // sExecute as stored
    std::string command;  // "命令"
    std::string user;     // "用户"
    std::string date;     // "日期"
    std::string name;     // "名称"
    std::string stateText;  // "状态"
};

// "yyyy-mm-dd hh:mm" of a date stamp.
std::string syncListDate(long long uDate);

// The newest 300 pending records, then the newest 300 of the others.
std::vector<SyncRow> ReadSyncList(library::HostDb& db);

// What selecting a row shows: the detail text, and the page link the help window is to
// open ("r0…", "k0…", "y0…"; empty when the record has no page).
struct SyncDetail {
    bool found = false;  // false when no record has that lID any more
    std::string text;
    std::string link;
};
SyncDetail DescribeRecord(library::HostDb& db, long long lID);

// Check marks, one per row in list order.
std::vector<bool> checkAllRows(const std::vector<SyncRow>& rows);
std::vector<bool> checkPendingRows(const std::vector<SyncRow>& rows);  // by the "状态" text
std::vector<bool> uncheckAllRows(const std::vector<SyncRow>& rows);
// Whether delete, abandon and set-back are enabled: at least one row checked.
bool recordCommandsEnabled(const std::vector<bool>& checks);
// The lIDs of the checked rows, in list order.
std::vector<long long> checkedRecords(const std::vector<SyncRow>& rows, const std::vector<bool>& checks);

enum class RecordCommand { Delete, Abandon, SetPending };

// How a record command ended: the list must be read again (and captions set) whenever
// `wrote` is true; `changed` is the number of records the write reached.
struct RecordCommandResult {
    bool wrote = false;
    long long changed = 0;
};
// Asks before deleting or re-stating the chosen records, then reports the outcome; a
// failed write is reported as such and changes no count.
RecordCommandResult RunRecordCommand(library::HostDb& db, library::Prompter& prompter, RecordCommand command,
                                     const std::vector<long long>& lIDs);

// Carries out every pending record (not only the listed ones) and reports how many
// succeeded; false when nothing was pending.
bool UpdatePublicLibrary(library::HostDb& db, library::Prompter& prompter);

// "同步(n)" with n pending records, "同步" with none: for Frame3 and the toolbar button.
std::string pendingCaption(library::HostDb& db);

// The closing message of a fetch that added `added` records.
std::string fetchDoneMessage(int added);

inline constexpr std::string_view kCheckingText = "联网检查更新中...";

// "检查更新": fetches behind the progress window (its owner disabled meanwhile), then says
// how many records came, or why none could come. The number added.
int RunUpdateCheck(ServerSession& session, library::HostDb& db);

}  // namespace orv::sync
