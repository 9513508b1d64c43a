// Until every user includes library/progress.h, the seam is reachable from here too.
#pragma once

#include "library/progress.h"

namespace orv::tools {
using library::Progress;
}  // namespace orv::tools
