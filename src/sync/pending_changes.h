// Carrying out the change records other users made (fetched, pending) on this public
// library: what the sync window's "update the public library" command does.
#pragma once

#include "library/host_db.h"

#include <string>

namespace orv::sync {

struct ReplayResult {
    int records = 0;  // pending records found
    int applied = 0;  // of those, carried out
    // False when a record's new state or the closing commit could not be written: the
    // states shown may then be wrong (a commit that failed took every change with it).
    bool saved = true;
    std::string error;  // the host's words for the first such failure
};

// Applies every pending record of the change log, oldest first, in one transaction; each
// ends applied or failed. A record that cannot be carried out fails alone and the run
// goes on.
ReplayResult ApplyPendingChanges(library::HostDb& db);

}  // namespace orv::sync
