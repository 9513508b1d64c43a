// One single-value query per library for a word of code.
#include "render/library_word_lookup.h"

#include "library/fragment.h"
#include "library/schema.h"

namespace orv::render {

std::optional<WordTarget> LibraryWordLookup::find(std::string_view upperWord) {
    const std::string where = "nType<20 And UKeyWord=" + library::quoteText(upperWord);
    for (int lib : {library::kPublic, library::kPrivate}) {
        ++queries_;
        const long long sID = library::toInt(db_.findOnly(lib, library::tables::KeywordData, where, "sID", ""));
        if (sID != 0) return WordTarget{lib, sID};
    }
    return std::nullopt;
}

}  // namespace orv::render
