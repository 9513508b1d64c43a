// Replay of the pending change records of the public library, oldest first.
#include "sync/pending_changes.h"

#include "library/change_log.h"
#include "library/schema.h"

#include <string>

namespace orv::sync {

ReplayResult ApplyPendingChanges(library::HostDb& db) {
    namespace col = library::change;
    using library::kPublic;
    ReplayResult result;
    library::ResultTable rows;
    // Records sharing a date keep the order they arrived in.
    db.find(kPublic, library::tables::UpdateList, "sExecute=" + std::to_string(library::kStatePending), rows, "*",
            "uDate,lID", 0);
    result.records = rows.count();
    if (result.records == 0) return result;

    const auto failed = [&] {
        if (result.saved) result.error = db.errMsg(kPublic);
        result.saved = false;
    };
    library::HostTransaction transaction(db, kPublic);
    if (!transaction.begun()) {
        failed();
        return result;
    }
    for (int i = 0; i < rows.count(); ++i) {
        long long target = rows.number(i, col::tID);
        const long long done =
            library::ApplyChange(db, kPublic, rows.number(i, col::sCommand), target, rows.text(i, col::sText),
                                 rows.number(i, col::uID), rows.text(i, col::uName), rows.number(i, col::uDate));
        if (done != 0) ++result.applied;
        const int state = done != 0 ? library::kStateApplied : library::kStateFailed;
        // A record left pending after it was carried out would be carried out twice.
        if (db.update(kPublic, library::tables::UpdateList, "lID=" + rows.text(i, col::lID),
                      "sExecute=" + std::to_string(state)) < 1)
            failed();
    }
    if (!transaction.commit()) {
        failed();
        result.applied = 0;
    }
    return result;
}

}  // namespace orv::sync
