// What one import run hands to every file it extracts, and what it counts while doing
// so: fixed settings in, statistics and report lists out.
#pragma once

#include <array>
#include <string>

#include "tools/line_scan.h"

namespace orv::tools {

enum class DuplicateRule : int {
    AddAll = 0,             // add every entry, only report names met before
    SkipPublicNames = 1,    // add unless the public library has the name
    SkipPrivateNames = 2,   // add unless the private library has the name
    SkipAnyKnownName = 3,   // add only names neither library has
};

struct RunSettings {
    int platform = 2;
    ExtractionMode mode = ExtractionMode::Reference;
    DuplicateRule duplicateRule = DuplicateRule::AddAll;
    // Cut off file paths to form include paths; ends with a separator. For a single
    // file it is the file's own folder, so that the include path is its name.
    std::string rootFolder;
    long long uID = 0;
    long long uDate = 0;
    // The largest KeywordData.sID of each library when the run began: only rows up to
    // these count as duplicates, so entries of the run never collide with each other.
    long long publicSidLimit = 0;
    long long privateSidLimit = 0;
};

inline constexpr int kTypeCountSlots = 22;

struct RunStatistics {
    int filesRead = 0;
    int referenceEntries = 0;  // "库个数"
    int sourceEntries = 0;     // "源码个数"
    std::array<int, kTypeCountSlots> typeCounts{};
    std::string duplicateList;  // HTML lines
    std::string errorList;      // HTML lines
};

}  // namespace orv::tools
