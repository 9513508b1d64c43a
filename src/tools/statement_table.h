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

// What the line scan does with a line: the reader it calls for, and what a source-mode
// import does with it (procedures are always read). reader is null for a line that
// begins no statement the extractor reads.
struct StatementMatch {
    StatementReader reader = nullptr;
    SourceModeAction inSourceMode = SourceModeAction::Read;
};

// u: the line without leading blanks, upper-cased. A declaration word first, then a
// SUB or FUNCTION (after at most one of PRIVATE, PUBLIC or DECLARE) that is not an
// assignment to a function's result.
StatementMatch FindStatementReader(std::string_view u);

}  // namespace orv::tools
