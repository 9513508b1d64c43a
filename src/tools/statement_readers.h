// The eight statement readers of the declaration extractor. Each gets the file's lines,
// the index of the statement's first line and the pending comment block; it leaves the
// index on the last line it consumed and returns the statement's entries (its own
// entry first, members after it), emptying the block when it returns any.
#pragma once

#include <cstddef>
#include <string>

#include "tools/extracted_entry.h"

namespace orv::tools {

using StatementReader = ExtractedEntries (*)(const SourceLines& lines, std::size_t& index,
                                             std::string& block);

// COMMON / DIM / STATIC: shared variables only.
ExtractedEntries ReadVariables(const SourceLines& lines, std::size_t& index, std::string& block);
ExtractedEntries ReadConstants(const SourceLines& lines, std::size_t& index, std::string& block);
ExtractedEntries ReadDefine(const SourceLines& lines, std::size_t& index, std::string& block);
// #MACRO up to #ENDMACRO.
ExtractedEntries ReadMacro(const SourceLines& lines, std::size_t& index, std::string& block);
// TYPE up to END TYPE, or a one-line alias.
ExtractedEntries ReadType(const SourceLines& lines, std::size_t& index, std::string& block);
ExtractedEntries ReadUnion(const SourceLines& lines, std::size_t& index, std::string& block);
ExtractedEntries ReadEnum(const SourceLines& lines, std::size_t& index, std::string& block);
// SUB / FUNCTION declarations and definitions; a definition's body is skipped. Empties
// the block whether or not it yields an entry.
ExtractedEntries ReadProcedure(const SourceLines& lines, std::size_t& index, std::string& block);

}  // namespace orv::tools
