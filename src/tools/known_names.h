// The names each library held when an import run began, read once per run, so that the
// duplicate check of every extracted entry is answered from memory.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "library/host_db.h"
#include "tools/extraction_run.h"

namespace orv::tools {

class KnownNames {
public:
    // Nothing is read until the first question about a library.
    KnownNames(library::HostDb& db, const RunSettings& settings);

    // Whether the library (public or private) had an entry of a type below 20 with this
    // UKeyWord (as stored, apostrophes single) among its rows up to the run's sID limit.
    // Entries the run adds lie above the limit, so they never count. Nothing when the
    // library's names could not be read; its error text says why.
    std::optional<bool> contains(int lib, std::string_view uKeyWord);

private:
    struct Library {
        long long sidLimit = 0;
        bool loaded = false;
        std::unordered_set<std::string> names;
    };
    bool load(int lib, Library& library);

    library::HostDb& db_;
    std::array<Library, 2> libraries_;
};

}  // namespace orv::tools
