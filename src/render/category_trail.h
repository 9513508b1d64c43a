// The walk up a category's parents: as the linked trail at the top of a page, as a
// path of names and as a path of ids.
#pragma once

#include "library/host_db.h"

#include <string>

namespace orv::render {

// Prepends to `text` one "<li>" link per category from `dID` up to the top; in the
// private library the private root's link comes first.
std::string BuildCategoryTrail(library::HostDb& db, int lib, std::string text, long long dID);

// "\A\B\" for category B under the top-level A of the public library; "\" for the top
// level; a private path begins with the private root's name.
std::string CategoryPath(library::HostDb& db, int lib, long long dID);

// "0\5\9\" for category 9 under the top-level category 5.
std::string IdPath(library::HostDb& db, int lib, long long dID);

}  // namespace orv::render
