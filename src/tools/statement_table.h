// Which statement reader a line calls for, by the word it begins with: the table the
// extractor's line scan looks lines up in.
#pragma once

#include <string_view>

#include "tools/statement_readers.h"

namespace orv::tools {

// What a source-mode import (which keeps whole files with their first procedure) does
// with a declaration: read it, or pass over the line or the whole macro.
enum class SourceModeAction { Read, SkipLine, SkipMacro };

struct StatementWord {
    std::string_view word;  // upper case, with the blank that must follow it
    StatementReader reader;
    SourceModeAction inSourceMode;
};

// The declaration words, in the order they are tried.
inline const StatementWord kStatementWords[] = {
    {"#MACRO ", ReadMacro, SourceModeAction::SkipMacro},
    {"CONST ", ReadConstants, SourceModeAction::SkipLine},
    {"COMMON ", ReadVariables, SourceModeAction::SkipLine},
    {"DIM ", ReadVariables, SourceModeAction::SkipLine},
    {"STATIC ", ReadVariables, SourceModeAction::SkipLine},
    {"#DEFINE ", ReadDefine, SourceModeAction::SkipLine},
    {"TYPE ", ReadType, SourceModeAction::Read},
    {"UNION ", ReadUnion, SourceModeAction::Read},
    {"ENUM ", ReadEnum, SourceModeAction::Read},
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
