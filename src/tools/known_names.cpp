// Reading the names of a library below the run's sID limit in one query.
#include "tools/known_names.h"

#include "library/schema.h"

namespace orv::tools {

KnownNames::KnownNames(library::HostDb& db, const RunSettings& settings) : db_(db) {
    libraries_[library::kPublic].sidLimit = settings.publicSidLimit;
    libraries_[library::kPrivate].sidLimit = settings.privateSidLimit;
}

std::optional<bool> KnownNames::contains(int lib, std::string_view uKeyWord) {
    if (lib != library::kPublic && lib != library::kPrivate) return std::nullopt;
    Library& library = libraries_[static_cast<std::size_t>(lib)];
    if (!library.loaded && !load(lib, library)) return std::nullopt;
    return library.names.count(std::string(uKeyWord)) != 0;
}

// The same rows an equality look-up "UKeyWord='…'" would meet: a row without a name
// (NULL) equals nothing, not even the empty name.
bool KnownNames::load(int lib, Library& library) {
    const std::string where = "sID<" + std::to_string(library.sidLimit + 1) + " And nType<" +
                              std::to_string(library::kFirstMemberType) + " And UKeyWord Is Not Null";
    library::ResultTable found;
    db_.find(lib, library::tables::KeywordData, where, found, "UKeyWord", "", 0);
    // A read that worked always names its column, even when no row matched.
    if (found.columns.empty()) return false;
    library.names.clear();
    library.names.reserve(found.rows.size());
    for (library::Row& row : found.rows)
        if (!row.empty()) library.names.insert(std::move(row.front()));
    library.loaded = true;
    return true;
}

}  // namespace orv::tools
