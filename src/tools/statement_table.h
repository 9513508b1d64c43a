// Which statement reader a line calls for, by the word it begins with: the table the
// extractor's line scan looks lines up in.
#pragma once

#include <string_view>

#include "tools/statement_readers.h"

namespace orv::tools {

struct StatementWord {
    std::string_view word;  // upper case, with the blank that must follow it
    StatementReader reader;
};

// The declaration words, in the order they are tried.
inline const StatementWord kStatementWords[] = {
    {"#MACRO ", ReadMacro},      {"CONST ", ReadConstants},   {"COMMON ", ReadVariables},
    {"DIM ", ReadVariables},     {"STATIC ", ReadVariables},  {"#DEFINE ", ReadDefine},
    {"TYPE ", ReadType},         {"UNION ", ReadUnion},       {"ENUM ", ReadEnum},
};

// u: the line without leading blanks, upper-cased. The declaration word it begins
// with, or none.
const StatementWord* FindStatementWord(std::string_view u);

// Whether u begins a SUB or FUNCTION (after at most one of PRIVATE, PUBLIC or DECLARE)
// that is not an assignment to a function's result.
bool BeginsProcedure(std::string_view u);

// The reader for the line, or none: a declaration word first, then a procedure.
StatementReader FindStatementReader(std::string_view u);

}  // namespace orv::tools
