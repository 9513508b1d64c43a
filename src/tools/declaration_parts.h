// Splitting one declaration into name, dimensions, initial value and type, in the two
// forms FreeBASIC allows ("x(3) As Integer = 1" and "As Integer x(3) = 1"), and the
// small helpers every reader needs around its entries.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "tools/extracted_entry.h"

namespace orv::tools {

// "arr(10) As Integer = 5": name "arr", decl "(10)", init "5", type "Integer".
struct NameFirstDeclaration {
    std::string name;
    std::string decl;
    std::string init;
    std::string type;
};
NameFirstDeclaration SplitNameFirst(std::string_view part);

// "As Integer Ptr a, b": type "Integer Ptr", names "a, b". s begins with "AS ".
struct TypeFirstHead {
    std::string type;
    std::string_view names;  // points into s
};
std::optional<TypeFirstHead> ReadTypeFirstHead(std::string_view s);

// One name of a type-first list with its declaration text, e.g. "b As Integer = 2".
struct TypeFirstDeclaration {
    std::string name;
    std::string syntax;
};
TypeFirstDeclaration SplitTypeFirstPart(std::string_view part, const std::string& type);

// The base type of "Foo Extends Bar", upper-cased, or nothing.
std::string ExtendsParameter(std::string_view declaration);

// " = " + init, or nothing when there is no initial value.
std::string initText(const std::string& init);

// The statement's trailing comment and the comment block go to its own entry (or, for
// statements that declare several names side by side, to each); the block is consumed.
void attachComments(ExtractedEntries& entries, const std::string& note, std::string& block,
                    bool toEveryEntry);

// Readers leave the index on the last line they consumed, never past the end.
void clampToLastLine(const SourceLines& lines, std::size_t& index);

// Joins the statement at `index` (leaving the index on its last line, its trailing
// comment in `note`) and gives the text after its first word with leading blanks
// trimmed; false when the statement is a single word.
bool joinStatementAfterKeyword(const SourceLines& lines, std::size_t& index, std::string& note, std::string& rest);

// The longest prefix of s of at most maxBytes that does not split a UTF-8 character.
std::string_view cutAtCharBoundary(std::string_view s, std::size_t maxBytes);

}  // namespace orv::tools
