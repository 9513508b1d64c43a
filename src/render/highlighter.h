// FreeBASIC source text to prettyprint HTML: strings, comments and operator runs get
// their classes, the entry's own keyword is emphasised and every word that names a
// library entry links to it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orv::render {

enum class CodeMode { Numbered, Plain };

// Where a word of code leads: the data row of an entry in one library.
struct WordTarget {
    int lib;
    long long sID;
};

// Finds the entry a word names; called once per word with the word in upper case.
class WordLookup {
public:
    virtual ~WordLookup() = default;
    virtual std::optional<WordTarget> find(std::string_view upperWord) = 0;
};

std::string HighlightCode(std::string_view source, std::string_view keyword, CodeMode mode, WordLookup& lookup);

// The HTML of one word; `upperKeyword` is the entry's keyword in upper case.
std::string ColorWord(std::string_view word, std::string_view upperKeyword, WordLookup& lookup);

}  // namespace orv::render
