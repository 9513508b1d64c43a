// Building SQL fragments from values and reading values back from result text: the
// quoting rules every query follows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orv::library {

// "it's" -> "it''s".
std::string doubleApostrophes(std::string_view text);
// "it's" -> "'it''s'".
std::string quoteText(std::string_view text);
// Undoes doubleApostrophes.
std::string undoubleApostrophes(std::string_view text);

// A column read from a result table: decimal, optional sign, leading blanks skipped,
// reading stops at the first non-digit; empty (or non-numeric) text gives 0.
long long toInt(std::string_view text);

// An assignment list ("DirName='x',ParentDir=0"), built item by item.
class Assignments {
public:
    Assignments& add(std::string_view column, long long value);
    Assignments& addText(std::string_view column, std::string_view value);
    // Appends an already formed list or item (may be empty).
    Assignments& append(std::string_view items);
    const std::string& str() const { return text_; }
    bool empty() const { return text_.empty(); }

private:
    void separator();
    std::string text_;
};

// "a And b And c", skipping empty parts.
std::string joinConditions(std::initializer_list<std::string_view> parts);

// Splits an assignment list (or any comma list) at the commas outside apostrophes.
// Items keep their text as written; an apostrophe toggles the quoted state.
std::vector<std::string_view> splitOutsideQuotes(std::string_view list);

// One "name=value" item: the text before the first '=' and the rest, trimmed.
struct Assignment {
    std::string_view column;
    std::string_view value;
};
bool splitAssignment(std::string_view item, Assignment& out);

}  // namespace orv::library
