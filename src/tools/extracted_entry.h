// The record a statement reader yields for each declared name, before the extractor
// completes it and writes it to the private library.
#pragma once

#include <string>
#include <vector>

namespace orv::tools {

// Field names are the library's column names, so that completing an entry reads like
// the assignment list it becomes.
struct ExtractedEntry {
    std::string DisplayKeyWord;
    int nType = 0;
    std::string KeyWord;
    std::string UKeyWord;
    std::string Description;  // trailing comment of the statement or member line
    std::string Explain;      // comment block above the statement (statement entries only)
    std::string Syntax;
    std::string Member;       // member list, upper-case type, or macro replacement
    std::string Parameter;    // upper-case base type of a TYPE/UNION ... EXTENDS
    std::string Examples;
    std::string Source;
    std::string Related;
    std::string Include;
    int Platform = 0;
    int Attribute = 0;
};

// One statement's entries: its own entry first, its members after it in source order.
using ExtractedEntries = std::vector<ExtractedEntry>;

// The file's lines, split at "\r\n"; a reader walks them through an index.
using SourceLines = std::vector<std::string>;

// An entry named as the readers name every entry: display name and key both as
// written, the look-up key upper-cased in ASCII only.
ExtractedEntry makeEntry(const std::string& name, int type, std::string syntax);

}  // namespace orv::tools
