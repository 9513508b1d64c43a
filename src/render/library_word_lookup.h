// Words of code looked up in the libraries: public first, then private; member rows
// are never linked.
#pragma once

#include "library/host_db.h"
#include "render/highlighter.h"

namespace orv::render {

class LibraryWordLookup : public WordLookup {
public:
    explicit LibraryWordLookup(library::HostDb& db) : db_(db) {}
    std::optional<WordTarget> find(std::string_view upperWord) override;
    // Queries made so far (one or two per word).
    long long queries() const { return queries_; }

private:
    library::HostDb& db_;
    long long queries_ = 0;
};

}  // namespace orv::render
